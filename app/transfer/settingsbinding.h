#pragma once
// The settings side of the tool: the record in "Config.dat", and the handlers
// of the boxes that change the port and the pacing. It reads and writes the
// controls and Timer1's interval; it never opens the port.

#include "app/transfer/pacedtimer.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/transfercontrols.h"
#include "app/transfer/transfererror.h"
#include "app/transfer/transferstate.h"

class SettingsBinding {
public:
    SettingsBinding(TransferControls& controls, PacedTimer& timer1, TransferState& state);

    // Whether SaveSettings rewrites the file (default true).
    void setSavesSettings(bool saves) { m_savesSettings = saves; }

    // Remembers `configPath`, loads the record from it and applies it.
    void LoadFrom(const QString& configPath);
    // Reads the controls into the record and writes the file; a Data Size that
    // is not a number brings back the file's record instead. A file that could
    // not be written comes back as a SaveSettings failure.
    TransferError SaveSettings();
    // Pushes a record into the controls and Timer1.
    void ApplySettings(const TPortSettings& settings);

    // Sets Timer1's interval from the Time Gap box; text that gives no usable
    // gap is refused and the box shows the default again.
    void takeTimeGapFromBox();

    void Edit1Change();    // Time Gap box
    void Edit2Change();    // Data Size box
    void CheckBox1Click(); // "Pause By Data Size"

    const TPortSettings& settings() const { return Settings; }
    QString configPath() const { return ConfigPath; }

private:
    TransferControls& m_controls;
    PacedTimer& Timer1;
    TransferState& m_state;
    QString ConfigPath;
    TPortSettings Settings;
    bool m_savesSettings = true;
};
