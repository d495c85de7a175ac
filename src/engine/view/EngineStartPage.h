#pragma once
// The page "Automatic engine start settings": the four ways the communicator
// starts the engine by itself, each a check box with its detail rows (shown
// only while the box is checked), the choice lists with their units, and the
// seven weekday rows of the alarm clock. It shows the last block the module
// reported; nothing on it goes back to the module, and a line says so.
//
// Every control has a fixed object name for the language file. Each row is a
// caption, its list 5 pixels after the caption's text and the unit 2 pixels
// after the list; the rows follow their captions when a language changes them.

#include "engine/AutoStartBlock.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QTimeEdit;
class QVBoxLayout;

class TEngineStartPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int ListGap = 5; // caption text to list
    static constexpr int UnitGap = 2; // list to unit

    explicit TEngineStartPage(QWidget* parent = nullptr);

    // Puts a decoded block on the page: values outside a list leave it alone,
    // an invalid weekday is cleared with its time field disabled.
    void Apply(const AutoStartBlock::TDecoded& block);
    // Lays the rows out again after their captions changed.
    void Relayout();

    QCheckBox* SectionBox(AutoStartBlock::TSection section) const {
        return Sections[std::size_t(section)].Box;
    }
    QWidget* Details(AutoStartBlock::TSection section) const {
        return Sections[std::size_t(section)].Details;
    }
    QComboBox* RunTimeList(AutoStartBlock::TSection section) const {
        return Sections[std::size_t(section)].RunTime;
    }
    QComboBox* PeriodList() const { return PeriodCombo; }
    QComboBox* TemperatureList() const { return TemperatureCombo; }
    QComboBox* VoltageList() const { return VoltageCombo; }
    QCheckBox* DayBox(int day) const { return Days[std::size_t(day)].Box; }
    QTimeEdit* DayTime(int day) const { return Days[std::size_t(day)].Time; }
    QLabel* Note() const { return NoteLabel; }

private:
    struct TSectionControls {
        QCheckBox* Box = nullptr;
        QWidget* Details = nullptr;
        QComboBox* RunTime = nullptr;
    };
    struct TDayControls {
        QCheckBox* Box = nullptr;
        QTimeEdit* Time = nullptr;
    };

    QWidget* AddSection(AutoStartBlock::TSection section, const char* boxName, const char* caption,
                        QVBoxLayout* page);
    QComboBox* AddListRow(QWidget* details, const char* name, const char* caption,
                          const QStringList& items, const char* unit);
    void AddDayRow(QWidget* details, int day);

    std::array<TSectionControls, AutoStartBlock::SectionCount> Sections;
    std::array<TDayControls, AutoStartBlock::WeekdayCount> Days;
    QComboBox* PeriodCombo = nullptr;
    QComboBox* TemperatureCombo = nullptr;
    QComboBox* VoltageCombo = nullptr;
    QLabel* NoteLabel = nullptr;
};
