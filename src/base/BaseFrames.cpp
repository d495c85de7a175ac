#include "BaseFrames.h"

namespace BaseFrames {

namespace {
constexpr int TracedReplyBytes = 13;

QByteArray Frame(std::initializer_list<quint8> head) {
    QByteArray frame(FrameSize, '\0');
    int i = 0;
    for (const quint8 b : head)
        frame[i++] = char(b);
    return frame;
}

QByteArray WithData(QByteArray frame, int at, const tduomenys& data, int count) {
    for (int i = 0; i < count && at + i < FrameSize; ++i)
        frame[at + i] = char(size_t(i) < data.size() ? data[size_t(i)] : 0);
    return frame;
}
} // namespace

QByteArray SetBaseSerNum(quint64 value) {
    QByteArray frame = Frame({CmdSettings, SetSerial});
    for (int i = 0; i < SerialBytes; ++i)
        frame[2 + i] = char(value >> (8 * i));
    return frame;
}

QByteArray UseCommonAddress(bool on) {
    return Frame({CmdSettings, CommonAddress, quint8(on ? 1 : 0)});
}

QByteArray IjungiSkaityma() {
    return Frame({CmdSettings, ReadingOn});
}

QByteArray IsjungiSkaityma() {
    return Frame({CmdSettings, ReadingOff});
}

QByteArray FillCANBuf(quint8 n, const tduomenys& data) {
    return WithData(Frame({CmdFillCanBuf, n}), 2, data, CanBufferBytes);
}

QByteArray SendCANBuf(quint8 n) {
    return Frame({CmdSendCanBuf, n});
}

QByteArray ResetCheckSumm() {
    return Frame({CmdResetCheckSum});
}

QByteArray CheckCheckSum() {
    return Frame({CmdCheckCheckSum});
}

QByteArray SetCanDataBuffer(quint8 n, const tduomenys& data, bool withLength) {
    if (!withLength)
        return WithData(Frame({CmdCanDataBuffer, n}), 2, data, CanBufferBytes);
    const int length = qMin<int>(int(data.size()), CanBufferBytes);
    return WithData(Frame({CmdCanDataBufferWithLength, n, quint8(length)}), 3, data,
                    CanBufferBytes);
}

QByteArray SendCANDataBuffer(quint8 n, bool indexed) {
    return indexed ? Frame({CmdSendCanDataBufferIndexed, n}) : Frame({CmdSendCanDataBuffer});
}

QByteArray IjungiOSCRezima(quint8 v) {
    return Frame({CmdOscMode, v});
}

QByteArray RelayFrame(const tduomenys& payload) {
    const int length = qMin<int>(int(payload.size()), MaxRelayPayload);
    return WithData(Frame({CmdRelay, quint8(length)}), 2, payload, length);
}

QByteArray OutputReport(const QByteArray& frame) {
    QByteArray report(1, char(ReportId));
    report.append(frame.left(FrameSize));
    report.resize(ReportSize, '\0');
    return report;
}

tduomenys Request(quint8 code) {
    return {code};
}
tduomenys Request(quint8 code, quint8 a) {
    return {code, a};
}
tduomenys Request(quint8 code, quint8 a, quint8 b) {
    return {code, a, b};
}
tduomenys SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) {
    return {ReqSetPin, p1, p2, p3, p4};
}
tduomenys GetGrPgr(quint16 address) {
    return {ReqGrPgr, quint8(address >> 8), quint8(address)};
}

QByteArray SentLine(const QByteArray& frame, int resendCount) {
    return "S -> " + BytesToHex(FromQByteArray(frame.left(FrameSize))) +
           " R = " + QByteArray::number(resendCount);
}

QByteArray ReceivedLine(const QByteArray& data, int resendCount) {
    QByteArray head = data.left(TracedReplyBytes);
    head.resize(TracedReplyBytes, '\0');
    return "R -> " + BytesToHex(FromQByteArray(head)) + " R = " + QByteArray::number(resendCount);
}

} // namespace BaseFrames
