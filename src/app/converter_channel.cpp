#include "converter_channel.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "store/format.h"

namespace tl::app {

namespace {

constexpr const char* kMemoryName = "/MemforMarlowConvert";
constexpr const char* kLockName = "/MutexforMarlowConvert";
constexpr std::array<const char*, 5> kEventNames = {
    "/EventforMarlowConvertProg", "/EventforMarlowConvertMsg", "/EventforMarlowConvertPass",
    "/EventforMarlowConvertPass2", "/EventforMarlowConvertCancel"};

timespec Deadline(std::chrono::milliseconds timeout) {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    const long long ns = ts.tv_nsec + static_cast<long long>(timeout.count() % 1000) * 1000000;
    ts.tv_sec += static_cast<time_t>(timeout.count() / 1000 + ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    return ts;
}

bool TimedWait(sem_t* sem, std::chrono::milliseconds timeout) {
    const timespec deadline = Deadline(timeout);
    while (::sem_timedwait(sem, &deadline) != 0)
        if (errno != EINTR) return false;
    return true;
}

}  // namespace

struct ConverterChannel::Handles {
    std::string suffix;
    bool owner = false;
    int memory = -1;
    void* mapped = MAP_FAILED;
    sem_t* lock = SEM_FAILED;
    std::array<sem_t*, 5> events{SEM_FAILED, SEM_FAILED, SEM_FAILED, SEM_FAILED, SEM_FAILED};

    std::string name(const char* base) const { return base + suffix; }

    ~Handles() {
        if (mapped != MAP_FAILED) ::munmap(mapped, kConvertBlockSize);
        if (memory >= 0) ::close(memory);
        if (lock != SEM_FAILED) ::sem_close(lock);
        for (sem_t* e : events)
            if (e != SEM_FAILED) ::sem_close(e);
        if (!owner) return;
        // The names go with this side: a later run makes fresh objects.
        ::shm_unlink(name(kMemoryName).c_str());
        ::sem_unlink(name(kLockName).c_str());
        for (const char* e : kEventNames) ::sem_unlink(name(e).c_str());
    }
};

ConverterChannel::ConverterChannel(std::unique_ptr<Handles> handles)
    : m_handles(std::move(handles)), m_block(static_cast<std::uint8_t*>(m_handles->mapped)) {}

ConverterChannel::~ConverterChannel() = default;

std::unique_ptr<ConverterChannel> ConverterChannel::Create(const std::string& suffix) {
    auto h = std::make_unique<Handles>();
    h->suffix = suffix;
    h->owner = true;
    // Leftovers of a run that died would carry its lock and signals.
    ::shm_unlink(h->name(kMemoryName).c_str());
    ::sem_unlink(h->name(kLockName).c_str());
    for (const char* e : kEventNames) ::sem_unlink(h->name(e).c_str());

    h->memory = ::shm_open(h->name(kMemoryName).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (h->memory < 0 || ::ftruncate(h->memory, kConvertBlockSize) != 0) return nullptr;
    h->mapped =
        ::mmap(nullptr, kConvertBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, h->memory, 0);
    if (h->mapped == MAP_FAILED) return nullptr;
    std::memset(h->mapped, 0, kConvertBlockSize);
    h->lock = ::sem_open(h->name(kLockName).c_str(), O_CREAT | O_EXCL, 0600, 1);
    if (h->lock == SEM_FAILED) return nullptr;
    for (std::size_t i = 0; i < kEventNames.size(); ++i) {
        h->events[i] = ::sem_open(h->name(kEventNames[i]).c_str(), O_CREAT | O_EXCL, 0600, 0);
        if (h->events[i] == SEM_FAILED) return nullptr;
    }
    return std::unique_ptr<ConverterChannel>(new ConverterChannel(std::move(h)));
}

std::unique_ptr<ConverterChannel> ConverterChannel::Open(const std::string& suffix) {
    auto h = std::make_unique<Handles>();
    h->suffix = suffix;
    h->memory = ::shm_open(h->name(kMemoryName).c_str(), O_RDWR, 0);
    if (h->memory < 0) return nullptr;
    h->mapped =
        ::mmap(nullptr, kConvertBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, h->memory, 0);
    if (h->mapped == MAP_FAILED) return nullptr;
    h->lock = ::sem_open(h->name(kLockName).c_str(), 0);
    if (h->lock == SEM_FAILED) return nullptr;
    for (std::size_t i = 0; i < kEventNames.size(); ++i) {
        h->events[i] = ::sem_open(h->name(kEventNames[i]).c_str(), 0);
        if (h->events[i] == SEM_FAILED) return nullptr;
    }
    return std::unique_ptr<ConverterChannel>(new ConverterChannel(std::move(h)));
}

bool ConverterChannel::lock(std::chrono::milliseconds timeout) {
    return TimedWait(m_handles->lock, timeout);
}

void ConverterChannel::unlock() {
    ::sem_post(m_handles->lock);
}

void ConverterChannel::signal(ConvertEvent event) {
    sem_t* sem = m_handles->events[static_cast<std::size_t>(event)];
    // An event, not a count: signalling twice before it is taken is once.
    int value = 0;
    if (::sem_getvalue(sem, &value) == 0 && value > 0) return;
    ::sem_post(sem);
}

bool ConverterChannel::take(ConvertEvent event) {
    sem_t* sem = m_handles->events[static_cast<std::size_t>(event)];
    while (::sem_trywait(sem) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool ConverterChannel::wait(ConvertEvent event, std::chrono::milliseconds timeout) {
    return TimedWait(m_handles->events[static_cast<std::size_t>(event)], timeout);
}

namespace {

std::string ZeroTerminated(const std::uint8_t* field, std::size_t size) {
    const auto* end = std::find(field, field + size, std::uint8_t{0});
    return {reinterpret_cast<const char*>(field), static_cast<std::size_t>(end - field)};
}

void PutZeroTerminated(std::uint8_t* field, std::size_t size, std::string_view bytes) {
    std::memset(field, 0, size);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), size - 1));
}

}  // namespace

std::int32_t ConverterChannel::progress() {
    return static_cast<std::int32_t>(store::GetU32(m_block + kConvertProgress));
}

void ConverterChannel::setProgress(std::int32_t value) {
    store::PutU32(m_block + kConvertProgress, static_cast<std::uint32_t>(value));
}

std::string ConverterChannel::message() {
    return ZeroTerminated(m_block + kConvertMessage, kConvertMessageSize);
}

void ConverterChannel::setMessage(std::string_view bytes) {
    PutZeroTerminated(m_block + kConvertMessage, kConvertMessageSize, bytes);
}

std::string ConverterChannel::password() {
    return ZeroTerminated(m_block + kConvertPassword, kConvertPasswordSize);
}

void ConverterChannel::setPassword(std::string_view bytes) {
    PutZeroTerminated(m_block + kConvertPassword, kConvertPasswordSize, bytes);
}

std::int32_t ConverterChannel::answer() {
    return static_cast<std::int32_t>(store::GetU32(m_block + kConvertAnswer));
}

void ConverterChannel::setAnswer(std::int32_t value) {
    store::PutU32(m_block + kConvertAnswer, static_cast<std::uint32_t>(value));
}

}  // namespace tl::app
