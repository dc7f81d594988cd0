// The per-user settings store: the main window's position and size, the level, the version text
// and the game options, kept between runs below the program key "Software\Quorvik", which is the
// INI file $XDG_CONFIG_HOME/Software/Quorvik.ini.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "AtomicFile.h"

namespace quorvik::QuorvikIniFile {

// The stored values, as the main window keeps them; Settings{} holds the defaults, which a load
// yields for a value that is missing or does not read. Each is stored under its key in the
// settings table (QuorvikIniFile.cpp): left, top, width, height as X1, Y1, X2, Y2 (X2 is the
// window's width and Y2 its height, not a second corner); level as Lev, meaningful from 4 to 8
// (the level setter clamps anything else); version as Ver, only ever written to the store.
// unique: new games are built to have exactly one solution. resume: the game in progress is
// restored at start. zoom: the board's size chosen by the player, in percent. fitToScreen: the
// board shrinks where the window would not fit its screen. showTime: the playing time is shown.
// tally: the board keeps count of the player's marks as they are made. difficulty (stored as
// "Schwierigkeit"): the difficulty new games are built for, 0 any (as always), 1 leicht,
// 2 mittel, 3 schwer.
struct Settings {
    std::int32_t left = 5;
    std::int32_t top = 5;
    std::int32_t width = 176;
    std::int32_t height = 140;
    std::int32_t level = 4;
    QString version;
    bool unique = false;
    bool resume = true;
    std::int32_t zoom = 100;
    bool fitToScreen = true;
    bool showTime = true;
    bool tally = false;
    std::int32_t difficulty = 0;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The program key, relative to the current user's part of the store.
inline constexpr char16_t ProgramKey[] = u"Software\\Quorvik";

// The largest settings file the store reads. A larger one counts as damaged: it reads as
// missing, and the next save replaces it with a clean file.
inline constexpr qint64 MaxFileSize = 1024 * 1024;

// Fills settings from the store, value by value in the order of the fields above (Ver is left
// alone). The switches are stored as 0 or 1, Zoom and Difficulty within their ranges; anything
// else reads as their default. A store error ends the load at the value that raised it
// and passes on to the caller: the values before it hold what was read, the others keep what
// they held. The store is closed in every case.
void loadSettings(Settings& settings);

// loadSettings for a caller that has to go on after a store error: the values read before the
// error are kept, the unread ones get their defaults, and the error's text is returned for
// showing to the player. Returns nothing when the load succeeded.
std::optional<QString> loadSettingsOrDefaults(Settings& settings);

// Writes Ver and every value of the settings table as one change of the store: afterwards the
// settings file holds either all of them or, when anything fails, exactly what it held before.
// Never throws; a failed save is dropped silently.
void saveSettings(const Settings& settings) noexcept;

// An error of the store. what() holds the same text as UTF-8.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// One opened store: the program key, opened for one load or one save through the current
// factory; CloseStore ends it (loadSettings and saveSettings call it exactly once, also after an
// error). Writes are gathered and reach the store together with Commit.
class Store {
public:
    virtual ~Store() = default;

    // The integer stored as text under section/name, or defaultValue when the section or value
    // is missing or the text is not a valid integer. Throws StoreError "Invalid data type for
    // '<name>'" when the value is present but holds something other than text.
    virtual std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                         std::int32_t defaultValue) = 0;

    // Puts value as its shortest decimal text. Same failures as PutTextValue.
    virtual void PutIntegerValue(const QString& section, const QString& name, std::int32_t value) {
        PutTextValue(section, name, QString::number(value));
    }

    // Puts text, unchanged, for the next Commit. Throws StoreError "Failed to create key
    // <section>" when the section cannot be created and "Failed to set data for '<name>'" when
    // the value cannot be stored.
    virtual void PutTextValue(const QString& section, const QString& name, const QString& text) = 0;

    // Writes every value put since the store was opened in one change: when this returns true
    // the store holds all of them, when it returns false exactly what it held before. The INI
    // file is written anew with these values only: what else a damaged or hand-edited file held
    // is not carried over.
    virtual bool Commit() = 0;

    // Ends the store; values put and not committed are dropped.
    virtual void CloseStore() noexcept = 0;
};

using StoreFactory = std::function<std::unique_ptr<Store>(const QString& path)>;

// Replaces the factory that opens the program key (always a store, never nullptr) and returns
// the previous one; an empty factory stands for the real store. Tests put in stores that fail
// on purpose.
StoreFactory setStoreFactory(StoreFactory factory);

// The moments of the real store's commit, the lock and the steps of the replace.
using CommitStep = ReplaceStep;

// The real store, the INI file, reporting its commit's steps to `probe`. It opens the key at
// path below the current user's root, creating it when it is missing, and raises nothing of its
// own: when the key can be neither opened nor created, it reads every value as missing and
// refuses to create sections.
std::unique_ptr<Store> openIniStore(const QString& path, ReplaceProbe probe = {});

// The INI file's path.
QString storeLocation();

// The integer a stored text stands for, or nothing when the whole text is not one signed 32-bit
// integer: blanks (the space character only) first, at most one sign, then decimal digits in
// range, or up to eight significant hexadecimal digits after "$", "x", "X", "0x" or "0X", taken
// as a 32-bit two's-complement pattern and negated after "-".
std::optional<std::int32_t> textToInteger(QStringView text);

}  // namespace quorvik::QuorvikIniFile
