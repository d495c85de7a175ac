#include "StatusGroup.h"

#include "ui/Lamp.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {
const QColor OnColor(40, 190, 40);
const QColor ErrorColor(220, 40, 40);

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QString Name(const char* base, const char* suffix) {
    return QString::fromLatin1(base) + QString::fromLatin1(suffix);
}

QGridLayout* Grid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    return grid;
}

void Show(TLamp* lamp, bool on, const QColor& onColor = OnColor) {
    lamp->SetColor(on ? onColor : TLamp::OffColor());
}

template <std::size_t N> void Show(const QList<TLamp*>& lamps, const std::array<bool, N>& on) {
    for (std::size_t i = 0; i < N; ++i)
        Show(lamps[qsizetype(i)], on[i]);
}
} // namespace

TStatusGroup::TStatusGroup(QWidget* parent) : QGroupBox(QStringLiteral("Status"), parent) {
    using namespace StatusLamps;
    setObjectName(QStringLiteral("StatusGroup"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);

    QGroupBox* flags = AddGroup("ModemFlagsGroup", "MC55i Flags");
    QGridLayout* flagGrid = Grid(flags);
    for (int i = 0; i < int(ModemFlags.size()); ++i)
        Flags << AddLampRow(flagGrid, i, QString::fromLatin1(ModemFlags[i].Name),
                            ModemFlags[i].Caption);
    flagGrid->setRowStretch(int(ModemFlags.size()), 1);
    row->addWidget(flags);

    QGroupBox* control = AddGroup("ModemControlGroup", "MC55i Control");
    QGridLayout* controlGrid = Grid(control);
    controlGrid->addWidget(
        Named(new QLabel(QStringLiteral("Request")), QStringLiteral("RequestColumnLabel")), 0, 0);
    controlGrid->addWidget(
        Named(new QLabel(QStringLiteral("Process")), QStringLiteral("ProcessColumnLabel")), 0, 1);
    for (int i = 0; i < int(ModemControl.size()); ++i) {
        const char* name = ModemControl[i].Name;
        auto* request = Named(new TLamp, Name(name, "RequestLamp"));
        auto* process = Named(new TLamp, Name(name, "ProcessLamp"));
        auto* label =
            Named(new QLabel(QString::fromLatin1(ModemControl[i].Caption)), Name(name, "Label"));
        request->setAccessibleName(label->text());
        process->setAccessibleName(label->text());
        controlGrid->addWidget(request, i + 1, 0, Qt::AlignHCenter);
        controlGrid->addWidget(process, i + 1, 1, Qt::AlignHCenter);
        controlGrid->addWidget(label, i + 1, 2);
        Requests << request;
        Processes << process;
    }
    controlGrid->setColumnStretch(2, 1);
    row->addWidget(control);

    QGroupBox* tcp = AddGroup("TcpEngineGroup", "TCP Engine");
    QGridLayout* tcpGrid = Grid(tcp);
    for (int i = 0; i < int(TcpEngine.size()); ++i)
        Tcp << AddLampRow(tcpGrid, i, QString::fromLatin1(TcpEngine[i].Name), TcpEngine[i].Caption);
    const int counters = int(TcpEngine.size());
    tcpGrid->addWidget(
        Named(new QLabel(QStringLiteral("Buff mess cnt:")), QStringLiteral("BuffMessCntLabel")),
        counters, 0, 1, 2);
    OutBufValue = Named(new QLabel(QStringLiteral("0")), QStringLiteral("BuffMessCntValue"));
    tcpGrid->addWidget(OutBufValue, counters, 2);
    tcpGrid->addWidget(
        Named(new QLabel(QStringLiteral("Sent mess cnt:")), QStringLiteral("SentMessCntLabel")),
        counters + 1, 0, 1, 2);
    SentValue = Named(new QLabel(QStringLiteral("0")), QStringLiteral("SentMessCntValue"));
    tcpGrid->addWidget(SentValue, counters + 1, 2);
    tcpGrid->setRowStretch(counters + 2, 1);
    row->addWidget(tcp);

    QGroupBox* tlx = AddGroup("Tlx2FlagsGroup", "TLX2 Flags");
    QGridLayout* tlxGrid = Grid(tlx);
    for (int i = 0; i < int(LinkFlags.size()); ++i)
        Link << AddLampRow(tlxGrid, i, QString::fromLatin1(LinkFlags[i].Name),
                           LinkFlags[i].Caption);
    const int signalRow = int(LinkFlags.size());
    tlxGrid->addWidget(
        Named(new QLabel(QStringLiteral("GSM signal")), QStringLiteral("GsmSignalLabel")),
        signalRow, 0, 1, 2);
    Signal = Named(new QProgressBar, QStringLiteral("GsmSignalBar"));
    Signal->setRange(0, SignalMaximum);
    Signal->setValue(0);
    Signal->setFormat(QStringLiteral("%v"));
    Signal->setMaximumHeight(16);
    Signal->setMinimumWidth(40);
    Signal->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    tlxGrid->addWidget(Signal, signalRow + 1, 0, 1, 2);
    tlxGrid->setRowStretch(signalRow + 2, 1);
    row->addWidget(tlx);
}

QGroupBox* TStatusGroup::AddGroup(const char* name, const char* caption) {
    return Named(new QGroupBox(QString::fromLatin1(caption)), QString::fromLatin1(name));
}

TLamp* TStatusGroup::AddLampRow(QGridLayout* grid, int row, const QString& name,
                                const char* caption) {
    auto* lamp = Named(new TLamp, name + QStringLiteral("Lamp"));
    auto* label = Named(new QLabel(QString::fromLatin1(caption)), name + QStringLiteral("Label"));
    lamp->setAccessibleName(label->text());
    grid->addWidget(lamp, row, 0);
    grid->addWidget(label, row, 1);
    grid->setColumnStretch(1, 1);
    return lamp;
}

void TStatusGroup::ShowLamps(const TStatusLamps& lamps) {
    using namespace StatusLamps;
    Show(Tcp, lamps.Tcp);
    Signal->setValue(lamps.Signal);
    Show(Requests, lamps.Request);
    Show(Processes, lamps.Process);
    OutBufValue->setText(QString::number(lamps.OutBufMessCount));
    SentValue->setText(QString::number(lamps.SentCounter));
    Show(Flags, lamps.Flags);
    Show(Link[Busy], lamps.Link[Busy]);
    Show(Link[Monitoring], lamps.Link[Monitoring]);
    Show(Link[Error], lamps.Link[Error], ErrorColor);
}

QList<TLamp*> TStatusGroup::AllLamps() const {
    return Flags + Requests + Processes + Tcp + Link;
}

bool TStatusGroup::Lit(const TLamp* lamp) {
    return lamp->Color() != TLamp::OffColor();
}
