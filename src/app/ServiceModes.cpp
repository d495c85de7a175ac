#include "ServiceModes.h"

TServiceModes TServiceModes::FromCode(const QByteArray& code) {
    bool ok = false;
    const int value = code.trimmed().toInt(&ok, 10);
    switch (ok ? value : 0) {
    case ServiceCode:
        return {true, false};
    case TesterCode:
        return {false, true};
    case ServiceTesterCode:
        return {true, true};
    default:
        return {};
    }
}
