#include "ui/settings/settings_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "archive/archive_location.h"
#include "platform/com_ports.h"
#include "ui/setup/setup_page_dialog.h"

namespace vr5 {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

namespace {

// Item data of a port list entry: the "COM Port" value it stands for, and the device of one
// without a COM name yet.
constexpr int kPortIndexRole = Qt::UserRole;
constexpr int kNewDeviceRole = Qt::UserRole + 1;

// One radio button per entry, stacked in a group box; the button group's ids are the indexes.
QGroupBox* radioGroup(const QString& title, const QStringList& entries, QButtonGroup* group,
                      QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < entries.size(); ++i) {
        auto* button = new QRadioButton(entries[i], box);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return box;
}

}  // namespace

CSettingsDlg::CSettingsDlg(SetupContext context, QWidget* parent)
    : CSettingsDlg(context, std::function<QStringList()>(presentSerialDevices), parent) {}

CSettingsDlg::CSettingsDlg(SetupContext context, const QStringList& presentDevices, QWidget* parent)
    : CSettingsDlg(context,
                   std::function<QStringList()>([presentDevices] { return presentDevices; }),
                   parent) {}

CSettingsDlg::CSettingsDlg(SetupContext context, std::function<QStringList()> listDevices,
                           QWidget* parent)
    : QDialog(parent), page_(context), listDevices_(std::move(listDevices)) {
    setWindowTitle(QString::fromLatin1(SettingsPage::kCaption));

    auto* general = new QGroupBox(QStringLiteral("General"), this);
    portLabel_ = new ClickableLabel(QStringLiteral("Port:"), general);
    port_ = new QComboBox(general);
    fillPortList();
    port_->setMaxVisibleItems(16);
    portLabel_->setBuddy(port_);
    demo_ = new QCheckBox(QStringLiteral("Demo"), general);
    auto* generalLayout = new QGridLayout(general);
    generalLayout->addWidget(portLabel_, 0, 0);
    generalLayout->addWidget(port_, 0, 1);
    generalLayout->addWidget(demo_, 1, 0, 1, 2);
    guideSound_ = new QCheckBox(QStringLiteral("Guide sound"), general);
    guideSound_->setToolTip(QStringLiteral("The live guide of Log/Status sounds its cues"));
    generalLayout->addWidget(guideSound_, 2, 0, 1, 2);
    generalLayout->setColumnStretch(2, 1);
    generalLayout->setRowStretch(3, 1);

    pressure_ = new QButtonGroup(this);
    QGroupBox* pressureBox = radioGroup(QStringLiteral("Pressure Units"),
                                        SettingsPage::pressureUnitNames(), pressure_, this);
    temperature_ = new QButtonGroup(this);
    QGroupBox* temperatureBox =
        radioGroup(QStringLiteral("Temperature Units"), SettingsPage::temperatureUnitNames(),
                   temperature_, this);

    auto* offsetGroup = new QGroupBox(QStringLiteral("Temperature Offset"), this);
    offset_ = new QLineEdit(offsetGroup);
    offset_->setMaximumWidth(offset_->fontMetrics().horizontalAdvance(QStringLiteral("-0000000")));
    auto* offsetLayout = new QVBoxLayout(offsetGroup);
    offsetLayout->addWidget(offset_);
    offsetLayout->addStretch(1);

    auto* archiveGroup = new QGroupBox(QStringLiteral("Archive"), this);
    archiveDownloads_ = new QCheckBox(QStringLiteral("Archive every download"), archiveGroup);
    archiveDownloads_->setToolTip(
        QStringLiteral("Each report downloaded, and each with notes appended, goes into the "
                       "archive as it is stored"));
    auto* locationLabel = new QLabel(QStringLiteral("Location:"), archiveGroup);
    archiveLocation_ = new QLineEdit(archiveGroup);
    archiveLocation_->setPlaceholderText(
        QStringLiteral("empty: this computer; or postgresql://user@host:port/database"));
    archiveLocation_->setMinimumWidth(
        archiveLocation_->fontMetrics().horizontalAdvance(archiveLocation_->placeholderText()) +
        20);
    locationLabel->setBuddy(archiveLocation_);
    archiveWhere_ = new QLabel(archiveGroup);
    archiveWhere_->setWordWrap(true);
    archiveWhere_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* archiveLayout = new QGridLayout(archiveGroup);
    archiveLayout->addWidget(archiveDownloads_, 0, 0, 1, 2);
    archiveLayout->addWidget(locationLabel, 1, 0);
    archiveLayout->addWidget(archiveLocation_, 1, 1);
    archiveLayout->addWidget(archiveWhere_, 2, 0, 1, 2);
    connect(archiveLocation_, &QLineEdit::textChanged, this,
            [this](const QString& typed) { archiveWhere_->setText(archiveWhereText(typed)); });

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton()->setDefault(true);
    cancelButton()->setAutoDefault(false);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Read as a page: General beside the pressure units, the temperature below.
    auto* grid = new QGridLayout;
    grid->addWidget(general, 0, 0);
    grid->addWidget(pressureBox, 0, 1);
    grid->addWidget(temperatureBox, 1, 0);
    grid->addWidget(offsetGroup, 1, 1);
    grid->addWidget(archiveGroup, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QList<QWidget*> chain{port_, demo_, guideSound_};
    for (QAbstractButton* b : pressure_->buttons()) chain << b;
    for (QAbstractButton* b : temperature_->buttons()) chain << b;
    chain << offset_ << archiveDownloads_ << archiveLocation_ << okButton() << cancelButton();
    for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);

    page_.load();
    // A location is checked as the archive reads it; a password in it is never stored.
    page_.checkArchiveLocation = [](const QString& typed) {
        return ArchiveLocation::parse(typed).error;
    };
    page_.mapNewPort = [this](const QString& device, QString* message) {
        return mapDeviceToFreeCom(device, presentDevices_, message);
    };
    display(page_);

    connect(portLabel_, &ClickableLabel::clicked, this, &CSettingsDlg::onPortLabelClicked);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] { page_.tick(); });
    timer_->start(SettingsPage::kTickMilliseconds);
}

QPushButton* CSettingsDlg::okButton() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

QPushButton* CSettingsDlg::cancelButton() const {
    return buttons_->button(QDialogButtonBox::Cancel);
}

int CSettingsDlg::portIndexAt(int row) const {
    const QVariant index = port_->itemData(row, kPortIndexRole);
    return index.isValid() ? index.toInt() : -1;
}

int CSettingsDlg::rowOfPortIndex(int portIndex) const {
    return portIndex < 0 ? -1 : port_->findData(portIndex, kPortIndexRole);
}

void CSettingsDlg::fillPortList() {
    const int chosenIndex = portIndexAt(port_->currentIndex());
    const QString chosenDevice = port_->currentData(kNewDeviceRole).toString();
    presentDevices_ = listDevices_ ? listDevices_() : QStringList();
    const SerialPortMap map = serialPortMap(presentDevices_);
    const QList<SettingsPage::PortChoice> choices =
        SettingsPage::portChoices(map.mapped, map.unmapped, map.present);

    const QSignalBlocker block(port_);
    port_->clear();
    bool presentOnes = false;
    for (const SettingsPage::PortChoice& choice : choices) {
        // A line between the devices present and the rest of the names.
        if (presentOnes && !choice.present) {
            port_->insertSeparator(port_->count());
            presentOnes = false;
        }
        presentOnes = presentOnes || choice.present;
        port_->addItem(choice.text);
        const int row = port_->count() - 1;
        if (choice.portIndex >= 0) port_->setItemData(row, choice.portIndex, kPortIndexRole);
        if (!choice.newDevice.isEmpty()) port_->setItemData(row, choice.newDevice, kNewDeviceRole);
    }
    int row = rowOfPortIndex(chosenIndex);
    if (row < 0 && !chosenDevice.isEmpty()) row = port_->findData(chosenDevice, kNewDeviceRole);
    // A device chosen that has gone since leaves the stored port chosen.
    if (row < 0) row = rowOfPortIndex(page_.portIndex);
    port_->setCurrentIndex(row);
}

void CSettingsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_ && !event->spontaneous()) fillPortList();
    opened_ = true;
}

void CSettingsDlg::display(const SettingsPage& page) {
    port_->setCurrentIndex(rowOfPortIndex(page.portIndex));
    demo_->setChecked(page.demo);
    guideSound_->setChecked(page.guideSound);
    if (QAbstractButton* b = pressure_->button(page.pressureUnit)) b->setChecked(true);
    if (QAbstractButton* b = temperature_->button(page.temperatureUnit)) b->setChecked(true);
    offset_->setText(page.offset);
    archiveDownloads_->setChecked(page.archiveDownloads);
    archiveLocation_->setText(page.archiveLocation);
    archiveWhere_->setText(archiveWhereText(page.archiveLocation));
}

QString CSettingsDlg::archiveWhereText(const QString& typed) {
    const QString env = qEnvironmentVariable("VR5XP_ARCHIVE").trimmed();
    if (!env.isEmpty()) {
        return QStringLiteral("VR5XP_ARCHIVE is set: the archive is %1, whatever is entered here.")
            .arg(ArchiveLocation::parse(env).describe());
    }
    const ArchiveLocation location =
        typed.trimmed().isEmpty() ? ArchiveLocation::sqliteFile(ArchiveLocation::defaultFile())
                                  : ArchiveLocation::parse(typed);
    if (location.kind == ArchiveLocation::Kind::Invalid) return location.error;
    return QStringLiteral("The archive is %1.").arg(location.describe());
}

void CSettingsDlg::accept() {
    // The list's order is for showing only: an entry stands for the stored index it carries.
    const int chosen = portIndexAt(port_->currentIndex());
    page_.newPortDevice = port_->currentData(kNewDeviceRole).toString();
    if (chosen >= 0) page_.portIndex = chosen;
    page_.demo = demo_->isChecked();
    page_.guideSound = guideSound_->isChecked();
    page_.pressureUnit = pressure_->checkedId();
    page_.temperatureUnit = temperature_->checkedId();
    page_.offset = offset_->text();
    page_.archiveDownloads = archiveDownloads_->isChecked();
    page_.archiveLocation = archiveLocation_->text();
    if (!page_.accept()) {
        // The box the refusal was about takes the keys.
        QLineEdit* refused = ArchiveLocation::parse(archiveLocation_->text()).error.isEmpty() ||
                                     archiveLocation_->text().trimmed().isEmpty()
                                 ? offset_
                                 : archiveLocation_;
        refused->setFocus(Qt::OtherFocusReason);
        refused->selectAll();
        return;
    }
    QDialog::accept();
}

void CSettingsDlg::onPortLabelClicked() {
    if (page_.portLabelClicked()) Q_EMIT diagnosticsRequested();
}

}  // namespace vr5
