#pragma once
// A scripted, instant link for tests of the logic above the links (the map
// cycle, the CAN settings, the car selection, the session). Every request is
// written as text ("GetFNandNN 10 01", "SetFN_NN 57 01", "GetGrPgr 0004",
// "SetPIN 01 02 03 04", "ResetCar", ...). An expected request gets its
// scripted answer at once, in the order the script gives; a request that was
// not expected, or an expectation left unused, fails the test (Verify).
// Allowed requests may come any number of times, in any order. Like the real
// links, a link that is not connected, or is closing, drops every request.

#include "link/Link.h"

#include <QStringList>
#include <deque>
#include <functional>

class TScriptedLink : public ILink {
public:
    using TAnswer = std::function<void()>;

    // The next request must be this one; answer runs when it comes.
    void Expect(const QString& request, TAnswer answer = {}) {
        Script.push_back({request, std::move(answer)});
    }
    // This request may come at any time, as often as it likes.
    void Allow(const QString& request, TAnswer answer = {}) {
        Allowed.push_back({request, std::move(answer)});
    }
    // Every request of this name may come at any time; answer gets its bytes
    // (a 16-bit argument as two, high byte first).
    using TArgsAnswer = std::function<void(const QList<quint8>& bytes)>;
    void AllowAll(const QString& name, TArgsAnswer answer = {}) {
        AllowedNames.push_back({name, std::move(answer)});
    }

    // Every request made while connected, in order.
    QStringList Requests;
    QStringList Unexpected;
    QStringList Unused() const {
        QStringList left;
        for (const TStep& step : Script)
            left << step.Request;
        return left;
    }
    // True when every request was expected or allowed and the script is used
    // up; why says what was not.
    bool Verify(QString* why = nullptr) const {
        const QStringList left = Unused();
        if (Unexpected.isEmpty() && left.isEmpty())
            return true;
        if (why)
            *why = QStringLiteral("unexpected: [%1]; never asked: [%2]")
                       .arg(Unexpected.join(QStringLiteral(", ")), left.join(QStringLiteral(", ")));
        return false;
    }

    // What the link reports, set by the test.
    bool IsConnected = true;
    bool SequenceRunning = false;
    bool SequenceFailed = false;
    bool IsBusy = false;
    bool IsLocked = false;
    bool IsStatusKnown = true;
    bool IsRecording = false;
    bool Writable = true; // WaitUntilWritable's answer
    int ReadCycleEnds = 0;
    int FlagResets = 0;
    QStringList TraceLines;

    void GetFNandNN(quint8 a, quint8 b) override { Request("GetFNandNN", {a, b}); }
    void SetFN_NN(quint8 fn, quint8 nn) override { Request("SetFN_NN", {fn, nn}); }
    void GetGrPgr(quint16 number) override {
        Request(QStringLiteral("GetGrPgr ") +
                QStringLiteral("%1").arg(number, 4, 16, QLatin1Char('0')).toUpper());
    }
    void GetWriteProg(quint8 index) override { Request("GetWriteProg", {index}); }
    void SetCar(quint8 a, quint8 b) override { Request("SetCar", {a, b}); }
    void ResetCar() override { Request("ResetCar", {}); }
    void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) override {
        Request("SetPIN", {p1, p2, p3, p4});
    }
    void RestoreRV5KDefaults() override { Request("RestoreRV5KDefaults", {}); }
    void GetZoneStatus() override { Request("GetZoneStatus", {}); }
    void Nuskaitymas() override { Request("Nuskaitymas", {}); }
    void ResetFlags() override {
        ++FlagResets;
        SequenceRunning = false;
        SequenceFailed = false;
    }
    bool VykstaNuskaitymas() const override { return SequenceRunning; }
    bool KlaidaNuskaitant() const override { return SequenceFailed; }

    bool Connected() const override { return IsConnected; }
    bool Busy() const override { return IsBusy; }
    bool StatusKnown() const override { return IsStatusKnown; }
    bool Locked() const override { return IsLocked; }
    void SendUSBPassword(const QByteArray& password) override {
        Request(QStringLiteral("SendUSBPassword ") + QString::fromLatin1(password));
    }
    bool Recording() const override { return IsRecording; }
    bool WaitUntilWritable(int) override { return Writable && IsConnected && !IsClosing; }
    void ReadCycleEnded() override { ++ReadCycleEnds; }
    void Trace(const QString& line) override { TraceLines << line; }
    void ClearTrace() override { TraceLines.clear(); }
    void SetClosing() override { IsClosing = true; }
    bool Closing() const override { return IsClosing; }

private:
    struct TStep {
        QString Request;
        TAnswer Answer;
    };

    void Request(const char* name, std::initializer_list<quint8> bytes) {
        QString text = QString::fromLatin1(name);
        for (const quint8 b : bytes)
            text += QStringLiteral(" %1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        Request(text);
    }
    void Request(const QString& text) {
        if (!IsConnected || IsClosing)
            return;
        Requests << text;
        if (!Script.empty() && Script.front().Request == text) {
            const TAnswer answer = std::move(Script.front().Answer);
            Script.pop_front();
            if (answer)
                answer();
            return;
        }
        for (const TStep& step : Allowed)
            if (step.Request == text) {
                if (step.Answer)
                    step.Answer();
                return;
            }
        const QStringList words = text.split(QLatin1Char(' '));
        for (const TNamed& named : AllowedNames)
            if (named.Name == words.first()) {
                QList<quint8> bytes;
                for (qsizetype i = 1; i < words.size(); ++i) {
                    // A 16-bit argument is written with four digits, high byte first.
                    const uint value = words[i].toUInt(nullptr, 16);
                    if (words[i].size() == 4)
                        bytes << quint8(value >> 8);
                    bytes << quint8(value);
                }
                if (named.Answer)
                    named.Answer(bytes);
                return;
            }
        Unexpected << text;
    }

    struct TNamed {
        QString Name;
        TArgsAnswer Answer;
    };

    std::deque<TStep> Script;
    std::vector<TStep> Allowed;
    std::vector<TNamed> AllowedNames;
    bool IsClosing = false;
};
