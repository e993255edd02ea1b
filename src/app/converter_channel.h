#pragma once

// The objects the old-version converter and this program share: one block
// of named shared memory, a named lock around every access to it, and five
// named events that reset as they are taken. POSIX shared memory and
// semaphores; the lock is a semaphore of one.
//
// Block layout (little-endian): 0 progress i32 (the window shows half of
// it as percent); 4 message, 1024 bytes of code page 932, zero-terminated;
// 1028 the old diary's password, 16 bytes of code page 932,
// zero-terminated; 1044 password answer i32 (PasswordAnswer).

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tl::app {

inline constexpr std::size_t kConvertBlockSize = 1048;
inline constexpr std::size_t kConvertProgress = 0;
inline constexpr std::size_t kConvertMessage = 4;
inline constexpr std::size_t kConvertMessageSize = 1024;
inline constexpr std::size_t kConvertPassword = 1028;
inline constexpr std::size_t kConvertPasswordSize = 16;
inline constexpr std::size_t kConvertAnswer = 1044;

enum class ConvertEvent { Progress, Message, Password, PasswordAnswer, Cancel };
enum class PasswordAnswer : std::int32_t { Correct = 0, Cancelled = 1, WrongThreeTimes = 2 };

// The environment variable that carries a suffix for every object name to
// the converter (tests run several conversions at once); unset in use.
inline constexpr const char* kConvertNamesVariable = "TL_CONVERT_NAMES";

class ConverterChannel {
public:
    ~ConverterChannel();
    ConverterChannel(const ConverterChannel&) = delete;
    ConverterChannel& operator=(const ConverterChannel&) = delete;

    // This program's side: makes every object (the block zeroed, the lock
    // free, the events clear), replacing leftovers of a run that died.
    // nullptr when one cannot be made. The objects' names go with it.
    static std::unique_ptr<ConverterChannel> Create(const std::string& suffix = {});
    // The converter's side: opens what Create made; nullptr when missing.
    static std::unique_ptr<ConverterChannel> Open(const std::string& suffix = {});

    // The lock, given up after timeout: a converter that died holding it
    // must not hold this program forever. False: not taken.
    [[nodiscard]] bool lock(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    void unlock();
    // The block; touch it only while holding the lock.
    std::uint8_t* block() { return m_block; }

    void signal(ConvertEvent event);
    // Takes the event when it is signalled, without waiting.
    [[nodiscard]] bool take(ConvertEvent event);
    // Waits at most timeout for the event.
    [[nodiscard]] bool wait(ConvertEvent event, std::chrono::milliseconds timeout);

    // Under the lock: the fields.
    std::int32_t progress();
    void setProgress(std::int32_t value);
    std::string message();  // the bytes up to the zero
    void setMessage(std::string_view bytes);
    std::string password();
    void setPassword(std::string_view bytes);
    std::int32_t answer();
    void setAnswer(std::int32_t value);

private:
    struct Handles;
    explicit ConverterChannel(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> m_handles;
    std::uint8_t* m_block = nullptr;
};

}  // namespace tl::app
