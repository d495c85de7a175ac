#pragma once
// The controls of the car page as the car selection drives them: the three
// mode choices, the manual and current panels, the lists and the two
// sub-panels that show only when their list offers a choice.

#include <QString>
#include <QStringList>

enum class TCarList { Make, Brand, Year, Program, Fn57, CurrentFn57 };
constexpr int CarListCount = 6;

// The mode bits, also the car modes of the car tree's functions.
enum TCarMode : quint8 { CarModeAuto = 1, CarModeManual = 2, CarModeCurrent = 4 };

class ICarPageView {
public:
    virtual ~ICarPageView() = default;
    // Checks the mode's choice, unchecks the others, shows the mode's panel.
    virtual void ShowCarMode(TCarMode mode) = 0;
    virtual void ShowCurrentChoice(bool visible) = 0;
    // Replaces the list's entries and selects one (-1: none), without the
    // selection coming back as the user's choice.
    virtual void FillList(TCarList list, const QStringList& labels, int selected) = 0;
    virtual void ShowSubPanel(TCarList list, bool visible) = 0;
    // The group label next to "Btr:" and the hidden subgroup next to "Pgr:".
    virtual void ShowCurrentCar(const QString& group, const QString& subgroup) = 0;
};
