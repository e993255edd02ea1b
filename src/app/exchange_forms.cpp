#include "exchange_forms.h"

namespace tl::app {

namespace {

// How a stored folder is shown: with one separator, empty when none.
std::string Shown(const std::string& folder) {
    return folder.empty() ? folder : exchange::FolderCheck{folder, {}}.display();
}

ExportField DateField(bool end, exchange::RangeField field) {
    switch (field) {
        case exchange::RangeField::Month:
            return end ? ExportField::ToMonth : ExportField::FromMonth;
        case exchange::RangeField::Day:
            return end ? ExportField::ToDay : ExportField::FromDay;
        case exchange::RangeField::Year:
            break;
    }
    return end ? ExportField::ToYear : ExportField::FromYear;
}

}  // namespace

exchange::Encoding EncodingSetting(int stored) {
    return stored >= 0 && stored <= 2 ? static_cast<exchange::Encoding>(stored)
                                      : exchange::Encoding::Ansi;
}

ExportForm ExportForm::FromSettings(const AppSettings& settings) {
    ExportForm form;
    form.folder = Shown(settings.exportTo.location);
    return form;
}

ExportCheck CheckExportForm(const ExportForm& form) {
    ExportCheck out;
    const exchange::FolderCheck folder = exchange::CheckFolder(form.folder);
    out.folderText = folder.folder.empty() ? form.folder : folder.display();
    if (folder.error) {
        out.error = folder.error;
        return out;
    }
    exchange::ExportRequest request;
    request.folder = folder.folder;
    request.texts = form.texts;
    request.attachments = form.attachments;
    request.encoding = form.encoding;
    if (form.specify) {
        const exchange::RangeCheck range = exchange::CheckRange(form.from, form.to);
        if (range.error) {
            // A start after the end names the start date's year: it is
            // filled whenever the start is not open.
            out.error = range.error;
            out.field = DateField(range.errorInEnd, range.field);
            return out;
        }
        request.fromKey = range.fromKey;
        request.toKey = range.toKey;
    }
    out.request = std::move(request);
    return out;
}

void StoreExportSettings(AppSettings& settings, const exchange::ExportRequest& request) {
    settings.exportTo.location = request.folder;
}

ImportForm ImportForm::FromSettings(const AppSettings& settings) {
    return {Shown(settings.importFrom.location), EncodingSetting(settings.importFrom.textKind)};
}

void StoreImportSettings(AppSettings& settings, const std::string& folder,
                         exchange::Encoding encoding) {
    settings.importFrom.textKind = static_cast<int>(encoding);
    settings.importFrom.location = folder;
}

MergeForm MergeForm::FromSettings(const AppSettings& settings) {
    MergeForm form;
    form.folder = Shown(settings.merge.location);
    for (const std::string& folder : settings.merge.history)
        if (!folder.empty()) form.choices.push_back(Shown(folder));
    form.emptyAfter = settings.merge.emptyAfterMerge == 1;
    return form;
}

void StoreMergeSettings(AppSettings& settings, const std::string& folder, bool emptyAfter) {
    settings.merge.location = folder;
    exchange::RememberFolder(settings.merge.history, folder);
    settings.merge.emptyAfterMerge = emptyAfter ? 1 : 0;
}

}  // namespace tl::app
