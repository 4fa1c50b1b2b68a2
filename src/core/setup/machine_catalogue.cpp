#include "setup/machine_catalogue.h"

#include <array>

#include "text/machine_tests.h"

namespace vr5 {

namespace {

constexpr std::array<MachineModel, 68> kModels = {{
    {"4.710", "ZA1 HF"},      {"1.670", "ZA1 LF"},   {"4.710", "ZA1X HF"},
    {"1.670", "ZA1X LF"},     {"11.780", "ZA2 HF"},  {"6.010", "ZA2 MF"},
    {"3.140", "ZA2 LF"},      {"11.780", "ZA3 HF"},  {"6.010", "ZA3 MF"},
    {"3.140", "ZA3 LF"},      {"29.440", "ZA4 HF"},  {"15.320", "ZA4 MF"},
    {"9.450", "ZA4 LF"},      {"29.440", "ZA5 HF"},  {"15.320", "ZA5 MF"},
    {" 9.450", "ZA5 LF"},     {"31.420", "ZA6 HF"},  {"14.140", "ZA6 MF"},
    {"31.420", "ZA7 HF"},     {"1.670", "ZB1 EP"},   {"1.670", "ZB1 EP Vertical"},
    {"1.670", "ZB1 HP"},      {"1.670", "ZB2 EP"},   {"1.670", "ZB2 HP"},
    {"3.140", "ZB3 EP"},      {"3.140", "ZB3 HP"},   {"14.140", "ZC1 MF"},
    {"31.420", "ZC1 HF"},     {"4.710", "ZN1 HF"},   {"1.670", "ZN1 LF"},
    {"4.710", "ZN2 HF"},      {"1.670", "ZN2 LF"},   {"11.780", "ZN3 HF"},
    {"6.010", "ZN3 MF"},      {"3.140", "ZN3 LF"},   {"6.010", "ZN4 MF"},
    {"11.780", "ZN5 HF"},     {"6.010", "ZN5 MF"},   {"3.140", "ZN5 LF"},
    {"1.670", "ZE1 HP"},      {"3.140", "ZE2 HP"},   {"29.440", "ZF1 HF"},
    {"6.010", "ZG LD"},       {"1.000", "ZG Mech."}, {"4.710", "ZH1 HF"},
    {"1.670", "ZH1 LF"},      {"4.710", "ZH1X HF"},  {"1.670", "ZH1X LF"},
    {"4.710", "ZH2 HF"},      {"1.670", "ZH2 LF"},   {"4.710", "ZH2X HF"},
    {"1.670", "ZH2X LF"},     {"11.780", "ZH3 HF"},  {"6.010", "ZH3 MF"},
    {"3.140", "ZH3 LF"},      {"6.010", "ZH4 MF"},   {"11.780", "ZH5 HF"},
    {"6.010", "ZH5 MF"},      {"3.140", "ZH5 LF"},   {"29.440", "ZH6 HF"},
    {"15.320", "ZH6 MF"},     {"9.450", "ZH6 LF"},   {"2.750", "ZJ1 LWR CYL"},
    {"4.210", "ZJ1 UPR+LWR"}, {"19.640", "ZJ2-HF"},  {"3.140", "ZJ2-LF"},
    {"15.320", "ZK1-H"},      {"6.770", "ZK1-L"},
}};

}  // namespace

std::span<const MachineModel> machineModels() {
    return kModels;
}

int machineListSize() {
    return static_cast<int>(kModels.size()) + 1;
}

QString machineListName(int index) {
    if (index >= 0 && index < static_cast<int>(kModels.size())) {
        return QString::fromLatin1(kModels[static_cast<size_t>(index)].name);
    }
    return index == unlistedMachineIndex() ? QString::fromLatin1(kUnlisted) : QString();
}

const QStringList& areaUnitTexts() {
    static const QStringList list = {QStringLiteral("in\u00B2"), QStringLiteral("cm\u00B2")};
    return list;
}

bool IsMechanicalMachine(const QString& currentModelText) {
    return isMechanicalModelText(currentModelText);
}

}  // namespace vr5
