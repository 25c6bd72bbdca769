// The settings dialogs of the Options menu: auto start, start time, comms, speed, time zone.
#include "OptionsCommands.h"

#include "AutoStartDialog.h"
#include "CMainFrame.h"
#include "CVARNOView.h"
#include "ComSettingsDialog.h"
#include "SpeedSetupDialog.h"
#include "StartTimeDialog.h"
#include "TimeZoneDialog.h"

using varno::session::CommandId;

void registerOptionsCommands(CMainFrame& frame)
{
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    frame.on({CommandId::CommSettings}, [&frame, &session, view] {
        ComSettingsDialog dlg(session.settings(), frame.ports(), &frame);
        dlg.exec();
        view->update();
    });
    // The units a dialog changed are read again when it is accepted.
    frame.on({CommandId::TimeZone}, [&frame, &session, view] {
        TimeZoneDialog dlg(session.settings(), &frame);
        if (dlg.exec() == QDialog::Accepted)
            session.reloadUnits();
        view->update();
    });
    frame.on({CommandId::Speed}, [&frame, &session, view] {
        SpeedSetupDialog dlg(session.settings(), &frame);
        if (dlg.exec() == QDialog::Accepted)
            session.reloadUnits();
        view->update();
    });
    frame.on({CommandId::AutoStart}, [&frame, &session] {
        AutoStartDialog dlg(session.settings(), &frame);
        dlg.exec();
    });
    frame.on({CommandId::StartTime}, [&frame, &session] {
        StartTimeDialog dlg(session.settings(), frame.routeFolder(), &frame);
        dlg.setDataRoot(session.dataRoot());
        dlg.exec();
    });
}
