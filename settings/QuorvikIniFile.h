// The per-user settings store: the main window's position and size, the level and the version
// text, kept between runs below the program key "Software\Quorvik". On Linux the key is the INI
// file $XDG_CONFIG_HOME/Software/Quorvik.ini; on Windows it is HKEY_CURRENT_USER\Software\Quorvik.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace quorvik::QuorvikIniFile {

// The unit's mirror of the stored values; the main window reads and writes them directly.
// X2 is the window's width and Y2 its height, not a second corner. Lev is meaningful from 4 to
// 8; the level setter clamps anything else. Ver is only ever written to the store.
extern std::int32_t X1;
extern std::int32_t Y1;
extern std::int32_t X2;
extern std::int32_t Y2;
extern std::int32_t Lev;
extern QString Ver;

// What a load yields for a value that is missing or is not a valid integer text.
inline constexpr std::int32_t DefaultX1 = 5;
inline constexpr std::int32_t DefaultY1 = 5;
inline constexpr std::int32_t DefaultX2 = 176;
inline constexpr std::int32_t DefaultY2 = 140;
inline constexpr std::int32_t DefaultLev = 4;

// The program key, relative to the current user's part of the store.
inline constexpr char16_t ProgramKey[] = u"Software\\Quorvik";

// Fills X1, Y1, X2, Y2 and Lev, in this order, from the store. A store error ends the load at
// the value that raised it and passes on to the caller: the values before it keep what was
// read, the others keep what they held. The store is closed in every case.
void LoadSettings();

// How many of the five values the last LoadSettings read before it ended (5 when it finished).
int valuesRead();

// LoadSettings for a caller that has to go on after a store error: the values read before the
// error are kept, the unread ones get their defaults, and the error's text is returned for
// showing to the player. Returns nothing when the load succeeded.
std::optional<QString> LoadSettingsOrDefaults();

// Writes Ver, X1, Y1, X2, Y2 and Lev, in this order. The first failure ends the save silently;
// what was written before it stays. Never throws.
void SaveSettings() noexcept;

// An error of the store. what() holds the same text as UTF-8.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// One opened store: the program key, opened for one load or one save. OpenStore creates it;
// CloseStore ends it (LoadSettings and SaveSettings call it exactly once, also after an error).
class Store {
public:
    virtual ~Store() = default;

    // The integer stored as text under section/name, or defaultValue when the section or value
    // is missing or the text is not a valid integer. Throws StoreError "Invalid data type for
    // '<name>'" when the value is present but holds something other than text.
    virtual std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                         std::int32_t defaultValue) = 0;

    // Writes value as its shortest decimal text. Same failures as PutTextValue.
    virtual void PutIntegerValue(const QString& section, const QString& name, std::int32_t value) {
        PutTextValue(section, name, QString::number(value));
    }

    // Writes text unchanged; it has reached the disk when this returns. Throws StoreError
    // "Failed to create key <section>" when the section cannot be created and "Failed to set
    // data for '<name>'" when the write is refused.
    virtual void PutTextValue(const QString& section, const QString& name, const QString& text) = 0;

    virtual void CloseStore() noexcept = 0;
};

using StoreFactory = std::function<std::unique_ptr<Store>(const QString& path)>;

// Opens the program key at path below the current user's root, creating it when it is missing,
// through the current factory. Raises nothing of its own: when the key can be neither opened
// nor created, the store reads every value as missing and refuses to create sections.
std::unique_ptr<Store> OpenStore(const QString& path);

// Replaces the factory behind OpenStore and returns the previous one; an empty factory stands
// for the real store. Tests put in stores that fail on purpose.
StoreFactory setStoreFactory(StoreFactory factory);

// The real store: QSettings in INI format on Linux, the registry on Windows.
std::unique_ptr<Store> openIniStore(const QString& path);

// Where the real store keeps the program key: the INI file's path, or the registry key.
QString storeLocation();

// The integer a stored text stands for, or nothing when the whole text is not one signed 32-bit
// integer: blanks (the space character only) first, at most one sign, then decimal digits in
// range, or up to eight significant hexadecimal digits after "$", "x", "X", "0x" or "0X", taken
// as a 32-bit two's-complement pattern and negated after "-".
std::optional<std::int32_t> textToInteger(QStringView text);

}  // namespace quorvik::QuorvikIniFile
