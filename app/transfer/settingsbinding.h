#pragma once
// The settings side of the tool: the record in "Config.dat", and the handlers
// of the boxes that change the port and the pacing. It reads and writes the
// controls and the transfer timer's interval; it never opens the port.

#include "app/transfer/pacedtimer.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/transfercontrols.h"
#include "app/transfer/transfererror.h"
#include "app/transfer/transferstate.h"

class SettingsBinding {
public:
    // `state` and `chunkLength` are the engine's: the boxes keep what a running
    // transfer uses, and the Data Size box sets the block length.
    SettingsBinding(TransferControls& controls, PacedTimer& timer1, const TransferState& state, int& chunkLength);

    // Whether SaveSettings rewrites the file (default true).
    void setSavesSettings(bool saves) { m_savesSettings = saves; }

    // Remembers `configPath`, loads the record from it and applies it.
    void LoadFrom(const QString& configPath);
    // Reads the controls into the record and writes the file; a Data Size that
    // is not a number brings back the file's record instead. A file that could
    // not be written comes back as a SaveSettings failure.
    // Then the port box's text is kept in "Port.txt" beside it; a SaveFile
    // failure when that file could not be written.
    TransferError SaveSettings();
    // Pushes a record into the controls and the transfer timer.
    void ApplySettings(const TPortSettings& settings);

    // Sets the transfer timer's interval from the Time Gap box; text that gives no usable
    // gap is refused and the box shows the default again.
    void takeTimeGapFromBox();

    // The user edited the Time Gap box: it sets the gap, except while sending.
    void timeGapEdited();
    // The user edited the Data Size box: it sets the block length, except while blocks go out.
    void dataSizeEdited();
    // "Pause By Data Size" was clicked: the Data Size box is enabled in block mode only.
    void pauseByDataSizeClicked();

    const TPortSettings& settings() const { return m_settings; }
    QString configPath() const { return m_configPath; }

private:
    TransferControls& m_controls;
    PacedTimer& m_timer;
    const TransferState& m_state;
    int& m_chunkLength;
    QString m_configPath;
    TPortSettings m_settings;
    bool m_savesSettings = true;
};
