#pragma once

#include "platform/SettingsFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

// The program's settings store, shaped like the registry of the original
// platform: keys hold named values and subkeys. Key paths use "\" between
// levels and are relative to the user's settings root, e.g.
// "Software\Orvane\Quillon\3\Felder". Values keep their kinds (string,
// integer, binary); a value and a subkey may share a name.
//
// Backed by one INI file under the XDG config folder; tests redirect it with
// SetStorageFolder(). Changes reach the file when Flush() is called or the
// object goes, whichever comes first.
//
// Each object looks at the settings file as it opens it. One that cannot be
// read (no regular file, no permission, not in the format) is never read nor
// written into: it is put aside under a new name, the user is told once, and
// the store starts empty. When it cannot be put aside, it is left as it is
// and this process keeps its settings in a scratch file of its own. So the
// file that is replaced when changes are written is always a regular file
// or a new one, never a device or a pipe that a link leads to.
class TRegistry {
public:
    // Told that the settings file cannot be written, and why (no system
    // error number when no cause could be found).
    using TWriteFailureReport = std::function<void(const TSettingsFileFailure& failure)>;
    // Told that the settings file could not be read, and what became of it.
    using TReadFailureReport = std::function<void(const TSettingsReadFailure& failure)>;

    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Where the INI file lives; empty restores the default (XDG config folder).
    static void SetStorageFolder(const QString& folder);
    static QString StorageFile();
    // Installs the report of failed writes and returns the previous one. It
    // is called once when writes start to fail, and again only after a write
    // has succeeded in between.
    static TWriteFailureReport SetWriteFailureReport(TWriteFailureReport report);
    // Installs the report of an unreadable settings file and returns the
    // previous one. It is called once for each such file met.
    static TReadFailureReport SetReadFailureReport(TReadFailureReport report);

    // Opens a key for the value calls below. Without canCreate the key must
    // exist. An open key is created for good only once a value is written.
    bool OpenKey(const QString& keyPath, bool canCreate);
    void CloseKey();
    QString CurrentKey() const { return m_key; }

    bool KeyExists(const QString& keyPath) const;
    // Deletes the key with its values and subkeys, nothing else.
    bool DeleteKey(const QString& keyPath);
    QStringList GetKeyNames() const;   // subkeys of the open key
    QStringList GetValueNames() const; // values of the open key

    bool ValueExists(const QString& name) const;
    bool DeleteValue(const QString& name);

    std::optional<QString> ReadString(const QString& name) const;
    std::optional<qint32> ReadInteger(const QString& name) const;
    std::optional<bool> ReadBool(const QString& name) const;
    std::optional<QByteArray> ReadBinaryData(const QString& name) const;

    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, qint32 value);
    void WriteBool(const QString& name, bool value);
    void WriteBinaryData(const QString& name, const QByteArray& value);

    // Writes pending changes to disk in one step: the file is replaced whole
    // by a new one (never rewritten in place), so a crash leaves the old or
    // the new settings, never a mix. False when that failed; the changes stay
    // pending for the next Flush. Without pending changes nothing is written.
    bool Flush();

private:
    void OpenSettings();

    enum class Kind { String, Integer, Binary };
    std::optional<QByteArray> ReadRaw(const QString& name, Kind kind) const;
    void WriteRaw(const QString& name, Kind kind, const QByteArray& data);
    QString ValueKey(const QString& name) const;

    std::unique_ptr<QSettings> m_settings;
    QString m_key;
    QString m_group; // the open key's group in the INI file
    bool m_dirty = false; // changes not yet written (or whose writing failed)
};
