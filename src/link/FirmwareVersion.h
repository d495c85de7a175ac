#pragma once
#include <QByteArray>
#include <QString>

// The number in a module's product name: the digits after the first
// lower-case v of the words after the first blank ("RV5K v6.05" gives 605).
// 0 when there are none.
qint32 FirmwareVersionFromName(const QByteArray& productName);

// A version number as the window writes it: 602 gives "v6.02".
QString FirmwareVersionText(qint32 version);
