#include "core/list/FileListRecord.h"

#include <QLocale>
#include <unordered_map>

#include "platform/DateText.h"
#include "platform/FileTypes.h"
#include "res/LoadString.h"

namespace {

const std::string& textOf(const SharedText& t) {
    static const std::string empty;
    return t ? *t : empty;
}

FILETIME* timeField(FileListRecord& r, int id) {
    switch (id) {
    case COL_CREATED: return &r.created;
    case COL_MODIFIED: return &r.modified;
    case COL_ACCESSED: return &r.accessed;
    default: return nullptr;
    }
}

// One shared text per type, so that a million rows do not hold a million copies.
SharedText typeTextOf(const std::string& name) {
    static std::unordered_map<const FileTypeInfo*, SharedText> typeTexts;
    const FileTypeInfo& type = fileTypeOf(name);
    SharedText& typeText = typeTexts[&type];
    if (!typeText || *typeText != type.typeName) typeText = std::make_shared<const std::string>(type.typeName);
    return typeText;
}

} // namespace

const std::string& FileListRecord::folderText() const { return textOf(folder); }
const std::string& FileListRecord::typeName() const { return textOf(typeText); }

FileIdentity FileListRecord::identity() const {
    return identityFromScan(folderText(), device, inode, created.ticks(), size, modified.ticks());
}

void FileListRecord::setName(const std::string& newName) {
    name = newName;
    typeText = typeTextOf(newName);
}

bool FileListRecord::setTime(int id, const FILETIME& utc) {
    FILETIME* field = timeField(*this, id);
    if (field) *field = utc;
    return field != nullptr;
}

std::unique_ptr<FileListRecord> FileListRecord::make(SharedText folder, const FindData& found) {
    auto r = std::make_unique<FileListRecord>();
    r->name = found.name;
    r->folder = std::move(folder);
    r->typeText = typeTextOf(found.name);
    r->sizeText = SizeText(found.size);
    r->attributeText = AttributeText(found.attributes);
    r->created = found.creationTime;
    r->modified = found.lastWriteTime;
    r->accessed = found.lastAccessTime;
    r->device = found.device;
    r->inode = found.inode;
    r->size = found.size;
    return r;
}

std::string ColumnTitle(int id) {
    if (id < 0 || id >= kColumnCount) return std::string();
    const std::string titles = LoadString(32060);
    std::size_t start = 0;
    for (int line = 0; line < id; ++line) {
        start = titles.find('\n', start);
        if (start == std::string::npos) return std::string();
        ++start;
    }
    return titles.substr(start, titles.find('\n', start) - start);
}

std::string SizeText(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    // The locale's digit grouping, asked once per locale rather than once per file.
    struct Grouping {
        QLocale locale;
        std::string separator;
        bool plainDigits = false;
    };
    static Grouping g{QLocale::c(), std::string(), false};
    const QLocale locale;
    if (g.separator.empty() || g.locale != locale) {
        g.locale = locale;
        g.separator = QString(locale.groupSeparator()).toStdString();
        // Locales with other digits or grouping rules go the long way.
        g.plainDigits = locale.zeroDigit() == QStringLiteral("0") &&
                        locale.toString(1234567) == QStringLiteral("1") + locale.groupSeparator() +
                                                        QStringLiteral("234") + locale.groupSeparator() +
                                                        QStringLiteral("567");
    }
    if (!g.plainDigits) return locale.toString(static_cast<qulonglong>(kilobytes)).toStdString() + " KB";
    const std::string digits = std::to_string(kilobytes);
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 * g.separator.size() + 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += g.separator;
        text += digits[i];
    }
    return text + " KB";
}

std::string AttributeText(std::uint32_t a) {
    std::string t = "____";
    if (a & FILE_ATTRIBUTE_ARCHIVE) t[0] = 'A';
    if (a & FILE_ATTRIBUTE_READONLY) t[1] = 'R';
    if (a & FILE_ATTRIBUTE_HIDDEN) t[2] = 'H';
    if (a & FILE_ATTRIBUTE_SYSTEM) t[3] = 'S';
    return t;
}

std::uint32_t AttributesFromText(std::string_view text) {
    std::uint32_t a = 0;
    for (char c : text) {
        if (c == 'A') a |= FILE_ATTRIBUTE_ARCHIVE;
        else if (c == 'R') a |= FILE_ATTRIBUTE_READONLY;
        else if (c == 'H') a |= FILE_ATTRIBUTE_HIDDEN;
        else if (c == 'S') a |= FILE_ATTRIBUTE_SYSTEM;
    }
    return a;
}

std::string CellText(const FileListRecord& r, int id) {
    switch (id) {
    case COL_NAME: return r.name;
    case COL_FOLDER: return r.folderText();
    case COL_TYPE: return r.typeName();
    case COL_SIZE: return r.sizeText;
    case COL_ATTRIBUTES: return r.attributeText;
    case COL_CREATED: return FormatListDate(r.created);
    case COL_MODIFIED: return FormatListDate(r.modified);
    case COL_ACCESSED: return FormatListDate(r.accessed);
    default: return std::string();
    }
}
