// Print, Print Preview and Print Setup of the view as it is on screen.
#include "gui/frame/PrintCommands.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <memory>

#include "base/Prompt.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/paint/ScenePainter.h"

using varno::session::CommandId;

bool printView(const CVARNOView& view, QPagedPaintDevice& device, const QString& target,
               varno::Prompt& prompt)
{
    QPainter p;
    if (!p.begin(&device)) {
        prompt.show("Can't print to " + target.toStdString(), varno::PromptButtons::Ok,
                    varno::PromptIcon::Error);
        return false;
    }
    // The scene as built, at the size it was built at, whatever the window's scale.
    const QSize size(view.lastScale().logicalWidth, view.lastScale().logicalHeight);
    if (size.width() > 0 && size.height() > 0) {
        const double scale =
            std::min(device.width() / double(size.width()), device.height() / double(size.height()));
        p.scale(scale, scale);
        p.setClipRect(QRect(QPoint(0, 0), size));
    }
    paintScene(p, view.lastScene());
    return p.end();
}

bool printerInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool printViewToPdf(const CVARNOView& view, const QString& path, varno::Prompt& prompt)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printView(view, printer, path, prompt);
}

PrintCommands::PrintCommands(CMainFrame& frame) : QObject(&frame), frame_(frame)
{
    choosePrinter = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dlg(&printer, parent);
        return dlg.exec() == QDialog::Accepted;
    };
}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void PrintCommands::print()
{
    varno::Prompt& prompt = frame_.session().prompt();
    if (!printerInstalled()) {
        const QString path = dialogs.save(
            &frame_, {QStringLiteral("Print to PDF file"), QString(), QStringLiteral("VARNO.pdf"),
                      QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf")});
        if (!path.isEmpty())
            printViewToPdf(*frame_.view(), path, prompt);
        return;
    }
    if (choosePrinter(printer(), &frame_))
        printView(*frame_.view(), printer(), printer().printerName(), prompt);
}

void PrintCommands::preview()
{
    QPrintPreviewDialog dlg(&printer(), &frame_);
    connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [this](QPrinter* p) {
        printView(*frame_.view(), *p, p->printerName(), frame_.session().prompt());
    });
    dlg.exec();
}

void PrintCommands::setup()
{
    QPageSetupDialog dlg(&printer(), &frame_);
    dlg.exec();
}

void registerPrintCommands(CMainFrame& frame)
{
    auto* commands = new PrintCommands(frame);
    frame.on({CommandId::FilePrint}, [commands] { commands->print(); });
    frame.on({CommandId::FilePrintPreview}, [commands] { commands->preview(); });
    frame.on({CommandId::FilePrintSetup}, [commands] { commands->setup(); });
}
