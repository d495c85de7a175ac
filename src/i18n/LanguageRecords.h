#pragma once
// The records of the language table as read from comps.txt. All texts stay the
// file's 8-bit bytes, in the code page of their language, until shown.

#include <QByteArray>
#include <QList>

// One control of a window: its name, the kind key that tells how its two texts
// apply, and the texts (list items or radio items for the list kinds).
struct tkomponentas {
    QByteArray Name;
    QByteArray Kind;
    QByteArray Text;
    QByteArray Hint;
};

// One window of a language.
struct tforma {
    QByteArray Name;
    QByteArray Caption;
    QList<tkomponentas> Components;
};

// One language: slot N-1 of Messages holds message N.
struct tkalba {
    QByteArray Name;
    qint32 Charset = 0;
    qint32 TranslitTable = 0; // kept with the language, not used otherwise
    QList<tforma> Forms;
    QList<QByteArray> Messages;
};

using TKalbos = QList<tkalba>;
