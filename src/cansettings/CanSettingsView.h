#pragma once
// The controls above the settings tree that the CAN settings fill and read:
// the PIN field, the three "Last events:" labels, the car label, and the
// trees' editors.

#include <QString>

class ICanSettingsView {
public:
    virtual ~ICanSettingsView() = default;
    // Ends any edit in progress in both trees, keeping its value.
    virtual void CommitEdits() = 0;
    virtual QString PinText() const = 0;
    virtual bool PinEnabled() const = 0;
    // Filled and enabled with a white background, or cleared and disabled.
    virtual void ShowPin(bool enabled, const QString& text) = 0;
    virtual void ShowLastEvent(int index, const QString& text) = 0;
    // Shows the hidden and visible rows of both trees again.
    virtual void SyncRows() = 0;
};
