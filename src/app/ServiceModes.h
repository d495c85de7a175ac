#pragma once
// The modes that the Settings.ini key Code unlocks: the service mode adds the
// "Log" page, the tester mode shows the settings panel from the start instead
// of only after a successful read.
//
//   Code    ServiceMode  TesterMode
//   50713   on           off
//   1       off          on
//   2       on           on
//   other   off          off   (also a value that is not a whole number)

#include <QByteArray>

struct TServiceModes {
    static constexpr int ServiceCode = 50713;
    static constexpr int TesterCode = 1;
    static constexpr int ServiceTesterCode = 2;

    bool ServiceMode = false;
    bool TesterMode = false;

    static TServiceModes FromCode(const QByteArray& code);
};
