#include "CarPage.h"

#include "cansettings/CarSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace {
constexpr int LabelWidth = 110;
constexpr int ListWidth = 220;

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

TCarPage::TCarPage(TCarSelection& selection, QWidget* parent)
    : QWidget(parent), Selection(selection),
      AutoChoice(Named(new QRadioButton(QStringLiteral("Auto"), this), "AutoRadio")),
      ManualChoice(Named(new QRadioButton(QStringLiteral("Manual"), this), "ManualRadio")),
      CurrentChoice(Named(new QRadioButton(QStringLiteral("Current"), this), "CurrentRadio")),
      Manual(Named(new QWidget(this), "ManualPanel")),
      Current(Named(new QWidget(this), "CurrentPanel")),
      AutoUpdate(Named(new QCheckBox(QStringLiteral("Update car list automatically"), Manual),
                       "AutoUpdateBox")),
      BtrValue(Named(new QLabel(Current), "BtrValueLabel")),
      PgrValue(Named(new QLabel(Current), "PgrValueLabel")) {
    setObjectName(QStringLiteral("CarPage"));
    auto* modes = new QHBoxLayout;
    for (QRadioButton* choice : {AutoChoice, ManualChoice, CurrentChoice}) {
        modes->addWidget(choice);
        connect(choice, &QRadioButton::clicked, this, [this, choice] {
            Selection.SelectCarMode(choice == AutoChoice     ? CarModeAuto
                                    : choice == ManualChoice ? CarModeManual
                                                             : CarModeCurrent);
        });
    }
    modes->addStretch(1);

    auto* manual = new QVBoxLayout(Manual);
    manual->setContentsMargins(0, 0, 0, 0);
    manual->addWidget(AutoUpdate);
    manual->addWidget(
        LabelledRow(Manual, "MakeRow", "MakeLabel", "Make", AddList(TCarList::Make, "MakeBox")));
    manual->addWidget(LabelledRow(Manual, "BrandRow", "BrandLabel", "Brand",
                                  AddList(TCarList::Brand, "BrandBox")));
    manual->addWidget(
        LabelledRow(Manual, "YearRow", "YearLabel", "Year", AddList(TCarList::Year, "YearBox")));
    ProgramPanel = LabelledRow(Manual, "ProgramPanel", "ProgramLabel", "Programe No.",
                               AddList(TCarList::Program, "ProgramBox"));
    Fn57Panel =
        LabelledRow(Manual, "Fn57Panel", "Fn57Label", "FN57", AddList(TCarList::Fn57, "Fn57Box"));
    manual->addWidget(ProgramPanel);
    manual->addWidget(Fn57Panel);
    ProgramPanel->hide();
    Fn57Panel->hide();

    auto* learned = Named(new QLabel(QStringLiteral("Learned"), Current), "LearnedLabel");
    QFont bold = learned->font();
    bold.setBold(true);
    learned->setFont(bold);
    auto* btr = new QWidget(Current);
    auto* btrRow = new QHBoxLayout(btr);
    btrRow->setContentsMargins(0, 0, 0, 0);
    btrRow->addWidget(Named(new QLabel(QStringLiteral("Btr:"), btr), "BtrLabel"));
    btrRow->addWidget(BtrValue);
    // The subgroup is part of the "Btr:" text already; its own caption stays hidden.
    auto* pgr = Named(new QLabel(QStringLiteral("Pgr:"), btr), "PgrLabel");
    btrRow->addWidget(pgr);
    btrRow->addWidget(PgrValue);
    pgr->hide();
    PgrValue->hide();
    btrRow->addStretch(1);
    auto* current = new QVBoxLayout(Current);
    current->setContentsMargins(0, 0, 0, 0);
    current->addWidget(learned);
    current->addWidget(btr);
    current->addWidget(LabelledRow(Current, "CurrentFn57Row", "CurrentFn57Label",
                                   "FN57:", AddList(TCarList::CurrentFn57, "CurrentFn57Box")));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(modes);
    layout->addWidget(Manual);
    layout->addWidget(Current);
    selection.SetView(this);
    ShowCarMode(selection.CarMode());
}

QComboBox* TCarPage::AddList(TCarList list, const char* name) {
    QComboBox* box = Named(new QComboBox(this), name);
    box->setMinimumWidth(ListWidth);
    Lists[std::size_t(list)] = box;
    // Only the user's picks: a list filled by the selection does not echo.
    connect(box, &QComboBox::activated, this,
            [this, list](int index) { Selection.ListChosen(list, index); });
    return box;
}

QWidget* TCarPage::LabelledRow(QWidget* parent, const char* name, const char* labelName,
                               const QString& caption, QWidget* field) {
    QWidget* row = Named(new QWidget(parent), name);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label = Named(new QLabel(caption, row), labelName);
    label->setMinimumWidth(LabelWidth);
    field->setParent(row);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addStretch(1);
    return row;
}

QRadioButton* TCarPage::ModeChoice(TCarMode mode) const {
    switch (mode) {
    case CarModeManual:
        return ManualChoice;
    case CarModeCurrent:
        return CurrentChoice;
    default:
        return AutoChoice;
    }
}

QWidget* TCarPage::SubPanel(TCarList list) const {
    if (list == TCarList::Program)
        return ProgramPanel;
    if (list == TCarList::Fn57)
        return Fn57Panel;
    return nullptr;
}

void TCarPage::ShowCarMode(TCarMode mode) {
    for (QRadioButton* choice : {AutoChoice, ManualChoice, CurrentChoice})
        choice->setChecked(choice == ModeChoice(mode));
    Manual->setVisible(mode == CarModeManual);
    Current->setVisible(mode == CarModeCurrent);
}

void TCarPage::ShowCurrentChoice(bool visible) {
    CurrentChoice->setVisible(visible);
}

void TCarPage::FillList(TCarList list, const QStringList& labels, int selected) {
    QComboBox* box = List(list);
    box->clear();
    box->addItems(labels);
    box->setCurrentIndex(selected);
}

void TCarPage::ShowSubPanel(TCarList list, bool visible) {
    if (QWidget* panel = SubPanel(list))
        panel->setVisible(visible);
}

void TCarPage::ShowCurrentCar(const QString& group, const QString& subgroup) {
    BtrValue->setText(group);
    PgrValue->setText(subgroup);
}
