#include "settings/settings_store.h"

#include <QSettings>

#include "app_info.h"

namespace vr5 {

namespace {

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

// Integers are kept as text by the ini-style stores; anything that does not read as a whole
// number (a hand-edited value, a string where a number belongs) falls back to the default.
int toInt(const QVariant& v, int fallback) {
    bool ok = false;
    const int value = v.toInt(&ok);
    return ok ? value : fallback;
}

// A text typed into the file by hand with a comma in it reads as a list, and other hand-made
// entries ("@Rect(...)") as values of their own kinds: none of them is a text the program wrote.
QString toText(const QVariant& v, const QString& fallback) {
    if (!v.isValid() || v.typeId() == QMetaType::QStringList || !v.canConvert<QString>())
        return fallback;
    return v.toString();
}

// Half of a surrogate pair cannot be written to the file as it is: the program keeps what the
// file will hold, so that a value reads the same before and after a restart.
QString storable(const QString& value) {
    QString out = value;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate()) {
            ++i;
        } else if (out[i].isSurrogate()) {
            out[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

}  // namespace

struct QSettingsStore::Impl {
    QSettings settings{QString::fromUtf8(kCompanyKey), QString::fromUtf8(kAppTitle)};
};

QSettingsStore::QSettingsStore() : impl_(std::make_unique<Impl>()) {}
QSettingsStore::~QSettingsStore() = default;

int QSettingsStore::readInt(const QString& section, const QString& key, int fallback) const {
    const QVariant v = impl_->settings.value(path(section, key));
    return v.isValid() ? toInt(v, fallback) : fallback;
}

bool QSettingsStore::writeInt(const QString& section, const QString& key, int value) {
    impl_->settings.setValue(path(section, key), value);
    impl_->settings.sync();
    return impl_->settings.status() == QSettings::NoError;
}

QString QSettingsStore::readString(const QString& section, const QString& key,
                                   const QString& fallback) const {
    return toText(impl_->settings.value(path(section, key)), fallback);
}

bool QSettingsStore::writeString(const QString& section, const QString& key, const QString& value) {
    impl_->settings.setValue(path(section, key), storable(value));
    impl_->settings.sync();
    return impl_->settings.status() == QSettings::NoError;
}

int MemorySettingsStore::readInt(const QString& section, const QString& key, int fallback) const {
    const auto it = values_.constFind(path(section, key));
    if (it == values_.constEnd()) return fallback;
    return toInt(*it, fallback);
}

bool MemorySettingsStore::writeInt(const QString& section, const QString& key, int value) {
    values_.insert(path(section, key), QString::number(value));
    return true;
}

QString MemorySettingsStore::readString(const QString& section, const QString& key,
                                        const QString& fallback) const {
    return values_.value(path(section, key), fallback);
}

bool MemorySettingsStore::writeString(const QString& section, const QString& key,
                                      const QString& value) {
    values_.insert(path(section, key), storable(value));
    return true;
}

}  // namespace vr5
