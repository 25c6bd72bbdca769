// The settings dialogs of the Options menu: auto start, start time, comms, speed, time zone, driver aids.
#include "gui/options/OptionsCommands.h"

#include "gui/cameras/DriverAidsDialog.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/gps/ComSettingsDialog.h"
#include "gui/options/AutoStartDialog.h"
#include "gui/options/SpeedSetupDialog.h"
#include "gui/options/StartTimeDialog.h"
#include "gui/options/TimeZoneDialog.h"

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
    frame.on({CommandId::DriverAids}, [&frame, &session, view] {
        DriverAidsDialog dlg(session.settings(), session.cameraDialogs().aids, &frame);
        dlg.exec();
        view->update();
    });
    frame.on({CommandId::StartTime}, [&frame, &session] {
        StartTimeDialog dlg(session.settings(), frame.routeFolder(), &frame);
        dlg.setDataRoot(session.dataRoot());
        dlg.exec();
    });
}
