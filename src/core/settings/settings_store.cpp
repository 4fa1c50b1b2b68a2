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
    const QVariant v = impl_->settings.value(path(section, key));
    return v.isValid() ? v.toString() : fallback;
}

bool QSettingsStore::writeString(const QString& section, const QString& key, const QString& value) {
    impl_->settings.setValue(path(section, key), value);
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
    values_.insert(path(section, key), value);
    return true;
}

}  // namespace vr5
