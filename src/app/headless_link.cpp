#include "app/headless_link.h"

#include <QDir>

#include "app/headless.h"
#include "platform/com_ports.h"
#include "platform/termination.h"
#include "settings/settings_keys.h"

namespace vr5 {

HeadlessLink::HeadlessLink(const CommandLine& command, SettingsStore& settings,
                           const QString& reportFolder, QTextStream& err)
    : err_(err),
      prompter_(err, Prompter::Answer::No),
      cycle_({settings, state_, prompter_}, reportFolder),
      runner_(cycle_, prompter_),
      port_(command.comPort != 0 ? command.comPort
                                 : static_cast<unsigned>(settings.read(keys::ComPort, 7)) + 1u),
      status_(kExitNoAnswer) {
    state_.currentMachineModelText = settings.read(keys::MachineModelText);
}

QString HeadlessLink::portName() const {
    return comName(port_);
}

bool HeadlessLink::open() {
    cycle_.beginConnect();
    if (!runner_.open(port_)) {
        err_ << "Could not open " << comName(port_) << " ("
             << QDir::toNativeSeparators(comDevicePath(port_)) << ")." << Qt::endl;
        status_ = kExitNoPort;
        return false;
    }
    cycle_.connectFinished(true);
    return true;
}

bool HeadlessLink::run() {
    runner_.startSteps();
    setTerminationHandler([this] { loop_.exit(); });
    loop_.exec();
    setTerminationHandler({});
    if (!ended_) runner_.close();
    return ended_;
}

void HeadlessLink::end(int exitStatus) {
    ended_ = true;
    status_ = exitStatus;
    runner_.close();
    loop_.exit();
}

}  // namespace vr5
