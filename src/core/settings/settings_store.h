#pragma once

#include <QMap>
#include <QString>
#include <memory>

namespace vr5 {

// A stored integer value: its section and key, spelled as the store holds them.
struct IntKey {
    const char* section;
    const char* name;
};

// A stored text value.
struct StringKey {
    const char* section;
    const char* name;
};

// Typed access to the program's settings. Every reader passes its own default; a value that is
// missing or unreadable yields that default and is never an error: a whole number that does not
// read as one, a text that is a list or a value of some other kind. Half of a surrogate pair in
// a stored text is kept as U+FFFD, as the settings file holds it.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual int readInt(const QString& section, const QString& key, int fallback) const = 0;
    virtual bool writeInt(const QString& section, const QString& key, int value) = 0;
    virtual QString readString(const QString& section, const QString& key,
                               const QString& fallback = {}) const = 0;
    virtual bool writeString(const QString& section, const QString& key, const QString& value) = 0;

    int read(IntKey key, int fallback) const { return readInt(key.section, key.name, fallback); }
    bool write(IntKey key, int value) { return writeInt(key.section, key.name, value); }
    QString read(StringKey key, const QString& fallback = {}) const {
        return readString(key.section, key.name, fallback);
    }
    bool write(StringKey key, const QString& value) {
        return writeString(key.section, key.name, value);
    }
};

// The real store: QSettings("Tarnell", "Tarnell VR5-XP"), one group per section.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    ~QSettingsStore() override;

    int readInt(const QString& section, const QString& key, int fallback) const override;
    bool writeInt(const QString& section, const QString& key, int value) override;
    QString readString(const QString& section, const QString& key,
                       const QString& fallback = {}) const override;
    bool writeString(const QString& section, const QString& key, const QString& value) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A store held in memory, for tests and for runs that must not touch the user's settings.
class MemorySettingsStore final : public SettingsStore {
public:
    int readInt(const QString& section, const QString& key, int fallback) const override;
    bool writeInt(const QString& section, const QString& key, int value) override;
    QString readString(const QString& section, const QString& key,
                       const QString& fallback = {}) const override;
    bool writeString(const QString& section, const QString& key, const QString& value) override;

    // Everything stored, as "section/key" → value text, for tests to compare.
    const QMap<QString, QString>& values() const { return values_; }

private:
    QMap<QString, QString> values_;
};

}  // namespace vr5
