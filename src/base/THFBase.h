#pragma once
// One module found through the radio base: its firmware version, its serial
// number and the text that the "Select base" list shows for it.

#include <QByteArray>
#include <QtGlobal>

struct THFBase {
    quint8 major = 0;
    quint8 minor = 0;
    qint64 serial = 0;
    QByteArray text;

    static THFBase Make(quint8 major, quint8 minor, qint64 serial) {
        return {major, minor, serial,
                "RV5K.XOLT v" + QByteArray::number(major) + '.' + QByteArray::number(minor) +
                    "\tSN:" + QByteArray::number(serial)};
    }
    // Firmware 6.02 and older cannot be read through the base.
    int Version() const { return major * 100 + minor; }
    bool SameModule(const THFBase& other) const {
        return major == other.major && minor == other.minor && serial == other.serial;
    }
};
