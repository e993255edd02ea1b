#pragma once

// What the Export, Import and Merge dialogs edit, filled from the settings
// and checked when the user presses Start. The dialogs only show the
// fields, tell the message and focus the field a check names.

#include <optional>
#include <string>
#include <vector>

#include "app_settings.h"
#include "exchange/export.h"
#include "exchange/field_checks.h"
#include "res/messages.h"

namespace tl::app {

// The fields a check of the Export dialog can name, in their order on
// screen: each date is month, day, year.
enum class ExportField { Folder, FromMonth, FromDay, FromYear, ToMonth, ToDay, ToYear };

struct ExportForm {
    std::string folder;  // as shown: the folder with one separator, or empty
    bool texts = true;
    bool attachments = true;
    exchange::Encoding encoding = exchange::Encoding::Ansi;
    bool specify = false;  // the term; the date fields start empty
    exchange::DateFields from, to;

    static ExportForm FromSettings(const AppSettings& settings);
};

// The outcome of Start: the request when the dialog may close, else the
// message and the field to focus. folderText is what the folder field shows
// afterwards (the checked folder with one separator).
struct ExportCheck {
    std::optional<exchange::ExportRequest> request;
    std::optional<res::Msg> error;
    ExportField field = ExportField::Folder;
    std::string folderText;
};
[[nodiscard]] ExportCheck CheckExportForm(const ExportForm& form);
// EXPORT LOCATION, once the export is confirmed in the dialog.
void StoreExportSettings(AppSettings& settings, const exchange::ExportRequest& request);

struct ImportForm {
    std::string folder;
    exchange::Encoding encoding = exchange::Encoding::Ansi;

    static ImportForm FromSettings(const AppSettings& settings);
};
// IMPORT TEXT_KIND and IMPORT LOCATION (without trailing separator).
void StoreImportSettings(AppSettings& settings, const std::string& folder,
                         exchange::Encoding encoding);

struct MergeForm {
    std::string folder;  // MERGE LOCATION with one separator
    // The drop-down: the remembered folders, newest first, each with one
    // separator.
    std::vector<std::string> choices;
    bool emptyAfter = false;

    static MergeForm FromSettings(const AppSettings& settings);
};
// MERGE LOCATION, the folder at the front of the remembered ones, and
// DAIART_DELETE.
void StoreMergeSettings(AppSettings& settings, const std::string& folder, bool emptyAfter);

// An encoding setting as stored; a value outside the three choices reads
// as Ansi.
exchange::Encoding EncodingSetting(int stored);

}  // namespace tl::app
