#pragma once
// The record every node of the two parameter trees carries. The loader fills
// the texts and limits from the catalogue; the map cycle and the editor fill
// the run-time values.

#include <QString>
#include <QStringList>
#include <QtGlobal>

struct TParamNodeData {
    QStringList Names;
    QStringList Hints;
    quint8 Number = 0; // function or flag: its FN; value parameter: its raw value
    bool IsValue = false;
    bool IsFlag = false;
    double Step1 = 0.0;
    quint8 Min1 = 0;
    quint8 Max1 = 0;
    double Step2 = 0.0;
    quint8 Min2 = 0;
    quint8 Max2 = 0;
    quint8 AssignedFn1 = 0; // option: FN of sub-parameter 1; flag: its bit mask
    QStringList Fn1Captions;
    quint8 Fn1Value = 0;
    quint8 AssignedFn2 = 0;
    QStringList Fn2Captions;
    quint8 Fn2Value = 0;
    bool LiveState = false;
    quint8 CarModes = 0; // car tree: bit 0 Auto, bit 1 Manual, bit 2 Current
};
