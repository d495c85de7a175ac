#include "CanSettingsPanel.h"

#include "ParamTreeView.h"
#include "cansettings/CanSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {
constexpr int PinLength = 4;
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
      CarTree(new TParamTreeView(settings.CarModel(), true)), Pin(new QLineEdit(this)),
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
    layout->addWidget(SettingsTree, 1);

    connect(Expand, &QCheckBox::toggled, SettingsTree, [this](bool on) {
        if (on)
            SettingsTree->expandAll();
        else
            SettingsTree->collapseAll();
    });
    ShowPin(false, QString());
    settings.SetView(this);
}

void TCanSettingsPanel::CommitEdits() {
    SettingsTree->CommitEdit();
    CarTree->CommitEdit();
}

TCanSettingsPanel::~TCanSettingsPanel() {
    if (CarTree && !CarTree->parent())
        delete CarTree;
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
