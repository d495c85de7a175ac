#include "CanSettingsPanel.h"

#include "ParamTreeView.h"
#include "cansettings/CanSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {
constexpr int PinLength = 4;

// The search field: Escape empties it.
class TSearchField : public QLineEdit {
public:
    explicit TSearchField(const char* name, QWidget* parent) : QLineEdit(parent) {
        setObjectName(QString::fromLatin1(name));
        setClearButtonEnabled(true);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
            clear();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// "Search:" and its field in one row.
QHBoxLayout* SearchRow(QWidget* parent, const char* labelName, QLineEdit* field) {
    auto* label = new QLabel(QStringLiteral("Search:"), parent);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field, 1);
    return row;
}
const QColor DisabledField(236, 236, 236);

void SetFieldColour(QLineEdit* field, const QColor& colour) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Disabled, QPalette::Base, colour);
    field->setPalette(palette);
}
} // namespace

TCanSettingsPanel::TCanSettingsPanel(TCanSettings& settings, QWidget* parent)
    : QWidget(parent), SettingsTree(new TParamTreeView(settings.SettingsModel(), false, this)),
      CarTree(new TParamTreeView(settings.CarModel(), true)), CarBox(new QWidget),
      SettingsSearch(new TSearchField("VTSearch", this)),
      CarSearch(new TSearchField("VST2Search", CarBox)), Pin(new QLineEdit(this)),
      Expand(new QCheckBox(QStringLiteral("Expand"), this)) {
    setObjectName(QStringLiteral("CanSettingsPanel"));
    SettingsTree->setObjectName(QStringLiteral("VT"));
    CarTree->setObjectName(QStringLiteral("VST2"));
    Pin->setObjectName(QStringLiteral("PinEdit"));
    Expand->setObjectName(QStringLiteral("ExpandBox"));
    Pin->setMaxLength(PinLength);
    Pin->setFixedWidth(60);
    Pin->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), Pin));
    auto* pinLabel = new QLabel(QStringLiteral("PIN:"), this);
    pinLabel->setObjectName(QStringLiteral("PinLabel"));
    auto* eventsLabel = new QLabel(QStringLiteral("Last events:"), this);
    eventsLabel->setObjectName(QStringLiteral("LastEventsLabel"));

    auto* top = new QHBoxLayout;
    top->addWidget(pinLabel);
    top->addWidget(Pin);
    top->addSpacing(16);
    top->addWidget(eventsLabel);
    auto* events = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Events[i] = new QLabel(QStringLiteral("-"), this);
        Events[i]->setObjectName(QStringLiteral("LastEvent%1").arg(i + 1));
        events->addWidget(Events[i]);
    }
    top->addLayout(events, 1);
    top->addWidget(Expand, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(SearchRow(this, "VTSearchLabel", SettingsSearch));
    layout->addWidget(SettingsTree, 1);

    CarBox->setObjectName(QStringLiteral("CarTreeBox"));
    CarTree->setParent(CarBox);
    auto* carLayout = new QVBoxLayout(CarBox);
    carLayout->setContentsMargins(0, 0, 0, 0);
    carLayout->addLayout(SearchRow(CarBox, "VST2SearchLabel", CarSearch));
    carLayout->addWidget(CarTree, 1);

    connect(SettingsSearch, &QLineEdit::textChanged, SettingsTree, &TParamTreeView::SetSearch);
    connect(CarSearch, &QLineEdit::textChanged, CarTree, &TParamTreeView::SetSearch);
    for (TParamTreeView* tree : {SettingsTree, CarTree.data()})
        connect(
            tree, &TParamTreeView::RevertRequested, &settings,
            [&settings, tree](TParamNode* node) { settings.RevertRow(tree->TreeModel(), node); });
    connect(Pin, &QLineEdit::textEdited, &settings, &TCanSettings::RefreshChanges);

    connect(Expand, &QCheckBox::toggled, SettingsTree, [this](bool on) {
        if (on)
            SettingsTree->expandAll();
        else
            SettingsTree->collapseAll();
    });
    ShowPin(false, QString());
    settings.SetView(this);
}

void TCanSettingsPanel::SetTexts(const QString& searchHint, const QString& revertRow) {
    for (QLineEdit* field : {SettingsSearch, CarSearch})
        field->setPlaceholderText(searchHint);
    for (TParamTreeView* tree : {SettingsTree, CarTree.data()})
        tree->SetRevertText(revertRow);
}

void TCanSettingsPanel::CommitEdits() {
    SettingsTree->CommitEdit();
    CarTree->CommitEdit();
}

TCanSettingsPanel::~TCanSettingsPanel() {
    if (CarBox && !CarBox->parent())
        delete CarBox;
}

QString TCanSettingsPanel::PinText() const {
    return Pin->text();
}

bool TCanSettingsPanel::PinEnabled() const {
    // Save disables the window before it checks the PIN: the field's own
    // state counts, not its window's.
    return Pin->isEnabledTo(this);
}

void TCanSettingsPanel::ShowPin(bool enabled, const QString& text) {
    Pin->setText(text);
    Pin->setEnabled(enabled);
    SetFieldColour(Pin, enabled ? QColor(Qt::white) : DisabledField);
}

void TCanSettingsPanel::ShowLastEvent(int index, const QString& text) {
    if (index >= 0 && index < 3)
        Events[index]->setText(text);
}

void TCanSettingsPanel::SyncRows() {
    SettingsTree->SyncRows();
    CarTree->SyncRows();
}
