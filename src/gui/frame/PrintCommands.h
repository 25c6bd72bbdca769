// Print, Print Preview and Print Setup of the view as it is on screen.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "gui/support/FileDialogs.h"

class CMainFrame;
class CVARNOView;
class QPagedPaintDevice;
class QPrinter;

namespace varno {
class Prompt;
}

// The view's last drawn scene on the device's page, scaled to fit and kept in proportion.
// False, after telling the user what could not be printed to, when the device will not paint.
bool printView(const CVARNOView& view, QPagedPaintDevice& device, const QString& target,
               varno::Prompt& prompt);

// The same into a PDF file at path.
bool printViewToPdf(const CVARNOView& view, const QString& path, varno::Prompt& prompt);

// Whether the machine has a printer to print to.
bool printerInstalled();

// The print commands of one window, with the printer that keeps Print Setup's choices.
class PrintCommands : public QObject {
    Q_OBJECT
public:
    explicit PrintCommands(CMainFrame& frame);
    ~PrintCommands() override;

    // Print: the print dialog, or with no printer installed a PDF file asked through dialogs.save.
    void print();
    void preview();
    void setup();

    FileDialogs dialogs = FileDialogs::standard();
    // Lets the user choose the printer and its options; false when cancelled (QPrintDialog unless replaced).
    std::function<bool(QPrinter& printer, QWidget* parent)> choosePrinter;

private:
    QPrinter& printer();

    CMainFrame& frame_;
    std::unique_ptr<QPrinter> printer_; // made when first needed
};

void registerPrintCommands(CMainFrame& frame);
