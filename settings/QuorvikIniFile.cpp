// The settings store's two procedures and the real store behind them. Every value is kept as
// text. A save gathers its values and replaces the settings file once, whole; a load reads only
// a regular file of sane size, so that no file at the settings path can block or exhaust it.
#include "QuorvikIniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string_view>
#include <utility>
#include <variant>

namespace quorvik::QuorvikIniFile {

namespace {

// A section or value name is one level of the store, written into the INI file as it stands:
// letters, digits, "_", "-" and ".". Anything else (a separator above all, which would address
// a deeper key) the program never means. "General" is the INI file's name for no section.
bool isPlainName(const QString& name) {
    // A loop rather than a pattern: the check runs at every start, before the first frame.
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u'.' || c == u'-';
    });
}
bool isPlainSection(const QString& section) {
    return isPlainName(section) &&
           section.compare(QLatin1String("general"), Qt::CaseInsensitive) != 0;
}

// The text a stored value holds, or nothing when it holds another type. A value without any
// content reads as the empty text, whatever its type.
std::optional<QString> storedText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QStringList:
            // An unquoted value with commas in the INI file: text that the INI reader split.
            // Put together again it still holds a comma, so it never reads as an integer.
            return value.toStringList().join(u',');
        case QMetaType::QByteArray:
            return value.toByteArray().isEmpty() ? std::optional(QString()) : std::nullopt;
        case QMetaType::UnknownType:  // "@Invalid()" in the INI file
            return QString();
        default:
            return std::nullopt;
    }
}

// The values put for one commit: section -> name -> text.
using Values = QMap<QString, QMap<QString, QString>>;

// "Software\Quorvik" is the file Software/Quorvik.ini in the user's configuration folder, where
// QSettings keeps the organisation "Software" and the application "Quorvik".
QString iniFileName(const QString& path) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QString(path).replace(u'\\', u'/') + QStringLiteral(".ini");
}

// The form of a text in the INI file, the one QSettings writes and reads back as the same text:
// a leading "@" doubled, a text with a zero character wrapped in "@String(...)", control
// characters, quotes and backslashes escaped (a hexadecimal digit after a numeric escape escaped
// too, or it would join the number), the rest as UTF-8, and the whole in quotes when it holds
// ";", "," or "=" or begins or ends with a blank.
QByteArray iniValue(const QString& text) {
    QString value = text;
    if (value.contains(QChar(u'\0'))) {
        value = QStringLiteral("@String(") + value + u')';
    } else if (value.startsWith(u'@')) {
        value.prepend(u'@');
    }
    // The characters escaped by name, and the letter after the backslash of each. Every
    // character escaped is ASCII, so the UTF-8 of the others passes through byte by byte.
    static constexpr std::string_view named = "\a\b\f\n\r\t\v\"\\";
    static constexpr std::string_view names = "abfnrtv\"\\";
    static constexpr std::string_view hexDigits = "0123456789abcdefABCDEF";
    QByteArray out;
    bool quoted = false;
    bool afterNumber = false;
    for (const char c : value.toUtf8()) {
        const std::size_t name = named.find(c);
        if (name != named.npos) {
            out += '\\';
            out += names[name];
            afterNumber = false;
        } else if (static_cast<unsigned char>(c) < 0x20 ||
                   (afterNumber && hexDigits.find(c) != hexDigits.npos)) {
            out += c == '\0' ? QByteArray("\\0") : "\\x" + QByteArray::number(c, 16);
            afterNumber = true;
        } else {
            out += c;
            quoted = quoted || c == ';' || c == ',' || c == '=';
            afterNumber = false;
        }
    }
    if (quoted || out.startsWith(' ') || out.endsWith(' ')) {
        out = '"' + out + '"';
    }
    return out;
}

// The whole settings file for values, laid out as QSettings lays out a new file: sections and
// names in alphabetical order, an empty line between two sections.
QByteArray iniText(const Values& values) {
    QByteArray text;
    for (auto section = values.begin(); section != values.end(); ++section) {
        if (!text.isEmpty()) {
            text += '\n';
        }
        text += '[' + section.key().toUtf8() + "]\n";
        for (auto value = section->begin(); value != section->end(); ++value) {
            text += value.key().toUtf8() + '=' + iniValue(value.value()) + '\n';
        }
    }
    return text;
}

class IniStore final : public Store {
public:
    // The key is the INI file's folder; the file itself appears with the first save.
    IniStore(const QString& path, ReplaceProbe probe)
        : fileName_(iniFileName(path)),
          probe_(probe ? std::move(probe) : [](ReplaceStep) {}),
          keyOpen_(QDir().mkpath(QFileInfo(fileName_).absolutePath())) {}

    std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                 std::int32_t defaultValue) override {
        QSettings* settings = reader();
        const QString key = section + u'/' + name;
        if (settings == nullptr || !isPlainSection(section) || !isPlainName(name) ||
            !settings->contains(key)) {
            return defaultValue;
        }
        const std::optional<QString> text = storedText(settings->value(key));
        if (!text) {
            throw StoreError(QStringLiteral("Invalid data type for '%1'").arg(name));
        }
        // A stored text ends at its first zero character (left() of -1 is the whole text).
        return textToInteger(text->left(text->indexOf(QChar(u'\0')))).value_or(defaultValue);
    }

    void PutTextValue(const QString& section, const QString& name, const QString& text) override {
        if (!keyOpen_ || !isPlainSection(section)) {
            throw StoreError(QStringLiteral("Failed to create key %1").arg(section));
        }
        if (!isPlainName(name)) {
            throw StoreError(QStringLiteral("Failed to set data for '%1'").arg(name));
        }
        pending_[section][name] = text;
    }

    // The settings file is replaced with one that holds exactly the values put, or left as it
    // was, under the lock QSettings uses for the file too, against a second running copy.
    bool Commit() override {
        QLockFile lock(fileName_ + QStringLiteral(".lock"));
        bool written = false;
        if (keyOpen_ && takeLock(lock, 2000)) {
            probe_(CommitStep::Locked);
            written = replaceFile(fileName_, iniText(pending_), {true, probe_});
        }
        CloseStore();  // a read after this reads the new values
        return written;
    }

    void CloseStore() noexcept override {
        pending_.clear();
        reader_.reset();
    }

private:
    // The stored values, read once per store; nullptr when there is nothing to read.
    QSettings* reader() {
        if (!reader_) {
            // Only a regular file of sane size: anything else reads as missing. The file is
            // only ever replaced by a rename, so what QSettings opens next is what was looked
            // at here.
            const QFileInfo file(fileName_);
            if (!keyOpen_ || !file.isFile() || file.size() > MaxFileSize) {
                return nullptr;
            }
            // The path form reads this one file, without the organisation's or the system's.
            reader_ = std::make_unique<QSettings>(fileName_, QSettings::IniFormat);
        }
        return reader_->status() == QSettings::AccessError ? nullptr : reader_.get();
    }

    QString fileName_;
    ReplaceProbe probe_;
    bool keyOpen_;
    Values pending_;
    std::unique_ptr<QSettings> reader_;
};

// One row per stored value, in load order: its place in the store, its field, and the range a
// stored integer must lie in (a switch, a bool field, is stored as 0 or 1); outside it, or
// missing, the value reads as its default in Settings{}. Ver, only written, is apart.
struct StoredValue {
    const char16_t* section;
    const char16_t* name;
    std::variant<std::int32_t Settings::*, bool Settings::*> field;
    std::int32_t min = std::numeric_limits<std::int32_t>::min();
    std::int32_t max = std::numeric_limits<std::int32_t>::max();
};
constexpr std::array<StoredValue, 12> storedValues = {{
    {u"Position", u"X1", &Settings::left},
    {u"Position", u"Y1", &Settings::top},
    {u"Position", u"X2", &Settings::width},
    {u"Position", u"Y2", &Settings::height},
    {u"Options", u"Lev", &Settings::level},
    {u"Options", u"Unique", &Settings::unique, 0, 1},
    {u"Options", u"Resume", &Settings::resume, 0, 1},
    {u"Options", u"Zoom", &Settings::zoom, 50, 200},
    {u"Options", u"ZoomFit", &Settings::fitToScreen, 0, 1},
    {u"Options", u"ShowTime", &Settings::showTime, 0, 1},
    {u"Options", u"Tally", &Settings::tally, 0, 1},
    {u"Options", u"Schwierigkeit", &Settings::difficulty, 0, 3},
}};

StoreFactory storeFactory;

// The program key for one load or save, closed on every way out.
using StoreSession = std::unique_ptr<Store, void (*)(Store*)>;
StoreSession openProgramKey() {
    const QString key = QString::fromUtf16(ProgramKey);
    return {(storeFactory ? storeFactory(key) : openIniStore(key)).release(), [](Store* store) {
                store->CloseStore();
                delete store;
            }};
}

}  // namespace

std::optional<std::int32_t> textToInteger(QStringView text) {
    // Any character beyond Latin-1 becomes "?", which is no digit.
    const QByteArray bytes = text.toLatin1();
    std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    const bool negative = rest.starts_with('-');
    if (negative || rest.starts_with('+')) {
        rest.remove_prefix(1);
    }
    int base = 10;
    for (const std::string_view prefix : {"$", "x", "X", "0x", "0X"}) {
        if (rest.starts_with(prefix)) {
            base = 16;
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    // Only digits of the base follow, no blank and no second sign or prefix.
    std::uint64_t magnitude = 0;
    const char* end = rest.data() + rest.size();
    const auto [stop, error] = std::from_chars(rest.data(), end, magnitude, base);
    // A hexadecimal text is a 32-bit pattern, a decimal one a signed value in range. Negating
    // the pattern unsigned and converting afterwards gives the two's-complement result without
    // signed overflow, also for -2147483648.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
    if (error != std::errc() || stop != end || magnitude > limit) {
        return std::nullopt;  // empty, a sign or prefix with no digits after it, or out of range
    }
    const auto pattern = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
}

std::unique_ptr<Store> openIniStore(const QString& path, ReplaceProbe probe) {
    return std::make_unique<IniStore>(path, std::move(probe));
}

StoreFactory setStoreFactory(StoreFactory factory) {
    return std::exchange(storeFactory, std::move(factory));
}

QString storeLocation() {
    return iniFileName(QString::fromUtf16(ProgramKey));
}

void loadSettings(Settings& settings) {
    // The first load of a user creates the program key here.
    const StoreSession store = openProgramKey();
    for (const StoredValue& value : storedValues) {
        std::visit(
            [&](auto field) {
                const std::int32_t fallback = Settings{}.*field;
                const std::int32_t stored = store->GetIntegerValue(
                    QString::fromUtf16(value.section), QString::fromUtf16(value.name), fallback);
                settings.*field = stored >= value.min && stored <= value.max ? stored : fallback;
            },
            value.field);
    }
}

std::optional<QString> loadSettingsOrDefaults(Settings& settings) {
    // Loaded over the defaults, the values a failed load did not reach keep them.
    settings = {.version = settings.version};
    try {
        loadSettings(settings);
    } catch (const StoreError& e) {
        return e.message();
    }
    return std::nullopt;
}

void saveSettings(const Settings& settings) noexcept {
    try {
        const StoreSession store = openProgramKey();
        store->PutTextValue(QStringLiteral("Version"), QStringLiteral("Ver"), settings.version);
        for (const StoredValue& value : storedValues) {
            store->PutIntegerValue(
                QString::fromUtf16(value.section), QString::fromUtf16(value.name),
                std::visit([&settings](auto field) -> std::int32_t { return settings.*field; },
                           value.field));
        }
        store->Commit();
    } catch (...) {
        // A failed save is dropped: the store keeps what it held, and the player is not
        // troubled with it.
    }
}

}  // namespace quorvik::QuorvikIniFile
