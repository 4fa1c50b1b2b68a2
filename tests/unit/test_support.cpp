#include "test_support.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "report/report_decoder.h"

namespace vr5::test {

namespace {

// Tests never reach the user's settings or documents: everything Qt derives from the home
// folder points into a folder of the test run's own, however the tests are started.
class IsolatedHome : public ::testing::Environment {
public:
    void SetUp() override {
        home_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(home_->isValid());
        const QString home = home_->path();
        qputenv("HOME", home.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    void TearDown() override { home_.reset(); }

private:
    std::unique_ptr<QTemporaryDir> home_;
};

[[maybe_unused]] ::testing::Environment* const kIsolatedHome =
    ::testing::AddGlobalTestEnvironment(new IsolatedHome);

}  // namespace

QByteArray reportBytes(const QString& description) {
    const fixtures::ParseResult parsed = fixtures::parseFixtureDescription(description);
    if (!parsed.ok()) {
        ADD_FAILURE() << "description line " << parsed.errorLine << ": "
                      << parsed.error.toStdString();
        return {};
    }
    return fixtures::buildFixture(parsed.fixture);
}

QByteArray fixtureBytes(const QString& name) {
    fixtures::FixtureDescription fixture;
    QString error;
    if (!fixtures::readFixtureFile(
            QStringLiteral(VR5_FIXTURE_DIR "/") + name + QStringLiteral(".txt"), fixture, error)) {
        ADD_FAILURE() << error.toStdString();
        return {};
    }
    return fixtures::buildFixture(fixture);
}

JointRecord decodeBytes(const QByteArray& bytes, int searchRangePercent) {
    JointRecord rec;
    rec.searchRangePercent = searchRangePercent;
    decodeReport(bytes, rec);
    return rec;
}

JointRecord decodeDescription(const QString& description, int searchRangePercent) {
    return decodeBytes(reportBytes(description), searchRangePercent);
}

JointRecord decodeFixture(const QString& name, int searchRangePercent) {
    return decodeBytes(fixtureBytes(name), searchRangePercent);
}

QString sampleLines(const std::vector<std::pair<int, int>>& samples) {
    QString text;
    for (const auto& [t, p] : samples) text += QStringLiteral("sample: %1 %2\n").arg(t).arg(p);
    return text;
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

}  // namespace vr5::test
