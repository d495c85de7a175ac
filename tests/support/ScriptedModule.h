#pragma once
// A module behind a scripted link, for tests of the logic above the links: it
// holds what the simulated module holds (the same memory: map, defaults,
// write program, car programs) and answers a map cycle at once, without the
// protocol's pace. The read (Nuskaitymas) hands the cycle the sixteen FN pages,
// the write-program page and the program count as the module link's own
// sequence would; value, write-program and program requests are answered as
// they come; writes change the memory as they change the simulated module's.

#include "ScriptedLink.h"
#include "cansettings/MapCycle.h"
#include "link/InputReport.h"
#include "sim/SimModuleMemory.h"

#include <QByteArray>

class TScriptedModule {
public:
    TScriptedModule(TScriptedLink& link, TMapCycle& cycle, const TSimProfile& profile)
        : Link(link), Cycle(cycle), Memory(profile) {
        Link.AllowAll(QStringLiteral("Nuskaitymas"), [this](const QList<quint8>&) { Read(); });
        const QList<std::pair<const char*, quint8>> requests{
            {"GetWriteProg", 0x3B}, {"GetFNandNN", 0x38},
            {"GetGrPgr", 0x3D},     {"SetFN_NN", 0x14},
            {"SetCar", 0x50},       {"SetPIN", 0x3A},
            {"ResetCar", 0x14},     {"RestoreRV5KDefaults", 0x14},
            {"GetZoneStatus", 0x40}};
        for (const auto& [name, code] : requests)
            Link.AllowAll(QString::fromLatin1(name),
                          [this, name = QByteArray(name), code = code](const QList<quint8>& args) {
                              Serve(name, code, args);
                          });
    }

    const TSimModuleMemory::FnMap& Map() const { return Memory.Map(); }
    // The NN of the first slot holding fn (0 when none does).
    quint8 Value(quint8 fn) const {
        for (const auto& [f, nn] : Memory.Map())
            if (f == fn)
                return nn;
        return 0;
    }
    // The requests of this name the link was asked, as their argument bytes.
    QStringList Sent(const QString& name) const {
        QStringList sent;
        for (const QString& request : Link.Requests)
            if (request.section(QLatin1Char(' '), 0, 0) == name)
                sent << request.section(QLatin1Char(' '), 1);
        return sent;
    }

private:
    void Read() {
        Link.SequenceRunning = true;
        for (quint8 page = 0; page < TMapCycle::ModuleFnPages; ++page)
            Answer(0x39, {page});
        Answer(0x3B, {0});
        Answer(0x3C, {0});
        Link.SequenceRunning = false;
    }
    void Serve(const QByteArray& name, quint8 code, const QList<quint8>& args) {
        QList<quint8> bytes = args;
        if (name == "ResetCar")
            bytes = {0x59, 0x02};
        else if (name == "RestoreRV5KDefaults")
            bytes = {0x99, 0x01};
        Answer(code, bytes);
    }
    // Carries out the request on the module's memory and hands the cycle its
    // answer, as the module link would raise it.
    void Answer(quint8 code, const QList<quint8>& args) {
        QByteArray request(1, char(code));
        for (const quint8 b : args)
            request.append(char(b));
        const std::optional<QByteArray> reply = Memory.CanMemoryRequest(request);
        if (!reply)
            return;
        const InputReport::TMemoryReply answer = InputReport::DecodeMemoryReply(*reply);
        if (answer.Code == 0x39)
            Cycle.StoreFnPage(answer.PageIndex, answer.Data);
        if (answer.IsError)
            return;
        switch (answer.Code) {
        case 0x38:
            Cycle.OnFNandNN(answer.Data[0], answer.Data[1]);
            break;
        case 0x3B:
            Cycle.OnWriteProg(answer.Data);
            break;
        case 0x3C:
            Cycle.OnReadProgCnt(quint16(answer.Data[0] << 8 | answer.Data[1]));
            break;
        case 0x3D:
            Cycle.OnReadProg(answer.Data);
            break;
        default:
            break;
        }
    }

    TScriptedLink& Link;
    TMapCycle& Cycle;
    TSimModuleMemory Memory;
};
