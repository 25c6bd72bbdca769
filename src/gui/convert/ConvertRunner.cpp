// Conversions off the UI thread.
#include "gui/convert/ConvertRunner.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

std::function<void(QWidget*)> conversionProgressShown;

varno::Report runConversion(QWidget* parent, const QString& title,
                            const std::function<varno::Report(varno::Progress&)>& work)
{
    std::atomic<bool> cancel{false}, finished{false};
    std::atomic<std::uint64_t> done{0}, total{0};
    varno::Report report;

    QProgressDialog progress(title, QStringLiteral("Cancel"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("conversionProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    QObject::connect(&progress, &QProgressDialog::canceled, [&] { cancel = true; });

    // Tests see the dialog before the work starts, so a Cancel they press is
    // met at the work's first progress report.
    if (conversionProgressShown) {
        progress.show();
        conversionProgressShown(&progress);
    }
    QEventLoop loop;
    std::thread worker([&] {
        varno::Progress tell([&](std::uint64_t d, std::uint64_t t) {
            done = d;
            total = t;
            return !cancel.load();
        });
        report = work(tell);
        finished = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const std::uint64_t t = total, d = done;
        if (t > 0)
            progress.setValue(static_cast<int>(1000.0 * std::min(d, t) / t));
    });
    tick.start(50);
    if (!finished)
        loop.exec();
    worker.join();
    tick.stop();
    progress.close();
    return report;
}
