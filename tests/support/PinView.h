#pragma once
// The PIN field as the settings read and fill it, for presenter tests that
// run the settings without their widgets.

#include "cansettings/CanSettingsView.h"

#include <QString>

struct TPinView : ICanSettingsView {
    QString Pin;
    bool Enabled = false;
    void CommitEdits() override {}
    QString PinText() const override { return Pin; }
    bool PinEnabled() const override { return Enabled; }
    void ShowPin(bool enabled, const QString& text) override {
        Enabled = enabled;
        Pin = text;
    }
    void ShowLastEvent(int, const QString&) override {}
    void SyncRows() override {}
};
