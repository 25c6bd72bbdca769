// Runs a conversion off the UI thread with a progress bar and Cancel, keeping the window responsive.
#pragma once

#include <QString>
#include <functional>

#include "convert/Convert.h"

class QWidget;

// Runs work on a worker thread and returns its report once it is done. A
// progress dialog with Cancel appears when the work takes more than half a
// second; Cancel asks the work to stop at its next progress report. The UI
// thread keeps handling events meanwhile.
varno::Report runConversion(QWidget* parent, const QString& title,
                            const std::function<varno::Report(varno::Progress&)>& work);

// Tests: when set, the progress dialog shows at once and this is called with
// it before the work starts (to press Cancel).
extern std::function<void(QWidget* progressDialog)> conversionProgressShown;
