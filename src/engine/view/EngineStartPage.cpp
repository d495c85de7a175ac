#include "EngineStartPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace AutoStartBlock;

namespace {
const char* const DayNames[WeekdayCount] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
const QTime StartTime(8, 0);

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A label as wide as its text, so that what follows keeps its distance to
// the text whatever the language.
QLabel* Caption(const QString& name, const char* text) {
    QLabel* label = Named(new QLabel(QString::fromUtf8(text)), name);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    label->setContentsMargins(0, 0, 0, 0);
    return label;
}

void Select(QComboBox* list, const std::optional<int>& item) {
    if (item && *item < list->count())
        list->setCurrentIndex(*item);
}
} // namespace

TEngineStartPage::TEngineStartPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("EngineStartPage"));
    auto* page = new QVBoxLayout(this);
    page->setAlignment(Qt::AlignTop);

    QWidget* periodic = AddSection(Periodic, "PeriodicBox", "Enable periodical engine start", page);
    PeriodCombo = AddListRow(periodic, "Period", "Period", Items(AutoStartBlock::PeriodList), "h");
    Sections[std::size_t(Periodic)].RunTime = AddListRow(periodic, "PeriodicDuration", "Duration",
                                                         Items(AutoStartBlock::RunTimeList), "min");

    // Two blanks before "by": the caption as it has always read.
    QWidget* cold = AddSection(AutoStartBlock::Temperature, "TemperatureBox",
                               "Enable engine start  by low temperature", page);
    TemperatureCombo = AddListRow(cold, "Temperature", "Temperature", TemperatureItems(), "°C");
    Sections[std::size_t(AutoStartBlock::Temperature)].RunTime = AddListRow(
        cold, "TemperatureDuration", "Duration", Items(AutoStartBlock::RunTimeList), "min");

    QWidget* battery =
        AddSection(Battery, "BatteryBox", "Enable engine start by low battery voltage", page);
    VoltageCombo = AddListRow(battery, "Voltage", "Battery voltage", VoltageItems(), "V");
    Sections[std::size_t(Battery)].RunTime = AddListRow(battery, "BatteryDuration", "Duration",
                                                        Items(AutoStartBlock::RunTimeList), "min");

    QWidget* clock = AddSection(AlarmClock, "ClockBox", "Enable engine start by alarm clock", page);
    for (int day = 0; day < WeekdayCount; ++day)
        AddDayRow(clock, day);
    Sections[std::size_t(AlarmClock)].RunTime =
        AddListRow(clock, "ClockDuration", "Duration", Items(AutoStartBlock::RunTimeList), "min");

    NoteLabel = Named(new QLabel(QStringLiteral(
                          "The module reports these settings; changes made on this page are "
                          "not sent to it.")),
                      QStringLiteral("EngineNote"));
    NoteLabel->setWordWrap(true);
    QFont italic = NoteLabel->font();
    italic.setItalic(true);
    NoteLabel->setFont(italic);
    page->addSpacing(8);
    page->addWidget(NoteLabel);
}

QWidget* TEngineStartPage::AddSection(TSection section, const char* boxName, const char* caption,
                                      QVBoxLayout* page) {
    TSectionControls& controls = Sections[std::size_t(section)];
    controls.Box = Named(new QCheckBox(QString::fromUtf8(caption)), QString::fromLatin1(boxName));
    controls.Details = Named(new QWidget, QString::fromLatin1(boxName) + QStringLiteral("Details"));
    auto* rows = new QVBoxLayout(controls.Details);
    rows->setContentsMargins(20, 0, 0, 4);
    controls.Details->hide();
    connect(controls.Box, &QCheckBox::toggled, controls.Details, &QWidget::setVisible);
    page->addWidget(controls.Box);
    page->addWidget(controls.Details);
    return controls.Details;
}

QComboBox* TEngineStartPage::AddListRow(QWidget* details, const char* name, const char* caption,
                                        const QStringList& items, const char* unit) {
    const QString base = QString::fromLatin1(name);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    auto* list = Named(new QComboBox, base + QStringLiteral("List"));
    list->addItems(items);
    list->setCurrentIndex(0);
    row->addWidget(Caption(base + QStringLiteral("Label"), caption));
    row->addSpacing(ListGap);
    row->addWidget(list);
    row->addSpacing(UnitGap);
    row->addWidget(Caption(base + QStringLiteral("Unit"), unit));
    row->addStretch(1);
    static_cast<QVBoxLayout*>(details->layout())->addLayout(row);
    return list;
}

void TEngineStartPage::AddDayRow(QWidget* details, int day) {
    TDayControls& controls = Days[std::size_t(day)];
    const QString name = QString::fromLatin1(DayNames[day]);
    controls.Box = Named(new QCheckBox(name), name + QStringLiteral("Box"));
    controls.Time = Named(new QTimeEdit(StartTime), name + QStringLiteral("Time"));
    controls.Time->setDisplayFormat(QStringLiteral("HH:mm"));
    controls.Time->setEnabled(false);
    connect(controls.Box, &QCheckBox::toggled, controls.Time, &QWidget::setEnabled);
    auto* row = new QHBoxLayout;
    row->addWidget(controls.Box);
    row->addWidget(controls.Time);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(details->layout())->addLayout(row);
}

void TEngineStartPage::Apply(const TDecoded& block) {
    for (int section = 0; section < SectionCount; ++section) {
        const TSectionControls& controls = Sections[std::size_t(section)];
        controls.Box->setChecked(block.Enabled[std::size_t(section)]);
        // The values behind a hidden row are still brought up to date.
        Select(controls.RunTime, block.RunTime[std::size_t(section)]);
    }
    Select(PeriodCombo, block.Period);
    Select(TemperatureCombo, block.Temperature);
    Select(VoltageCombo, block.Voltage);
    for (int day = 0; day < WeekdayCount; ++day) {
        const TWeekday& weekday = block.Weekdays[std::size_t(day)];
        const TDayControls& controls = Days[std::size_t(day)];
        controls.Box->setChecked(weekday.Valid);
        controls.Time->setEnabled(weekday.Valid);
        if (weekday.Valid)
            controls.Time->setTime(QTime(weekday.Hour, weekday.Minute));
    }
}

void TEngineStartPage::Relayout() {
    // The captions' new widths reach the rows through their layouts; done
    // now rather than on the next pass of the event loop.
    for (QWidget* widget : findChildren<QWidget*>())
        if (QLayout* layout = widget->layout())
            layout->invalidate();
    if (layout())
        layout()->invalidate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}
