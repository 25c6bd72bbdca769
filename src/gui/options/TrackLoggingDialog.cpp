// "Track logging options": log and show the driven track, and how many points to keep.
#include "gui/options/TrackLoggingDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TrackLoggingDialog::TrackLoggingDialog(varno::views::TrackLogging& track, QWidget* parent)
    : QDialog(parent), track_(track)
{
    setWindowTitle(QStringLiteral("Track logging options"));
    const varno::views::TrackDialogValues v = track_.dialogValues();
    log_ = new QCheckBox(QStringLiteral("Log track"), this);
    log_->setChecked(v.logTrack);
    display_ = new QCheckBox(QStringLiteral("Display track"), this);
    display_->setChecked(v.displayTrack);
    length_ = new QLineEdit(QString::number(v.trackLength), this);
    auto* note =
        new QLabel(QStringLiteral("Tracks are logged in memory and are discarded when the program exits.  "
                                  "The track is traced on the map to give a indication of the route "
                                  "travelled."),
                   this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(log_);
    layout->addWidget(display_);
    layout->addWidget(new QLabel(QStringLiteral("Record length (500 to 5000)"), this));
    layout->addWidget(length_);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void TrackLoggingDialog::accept()
{
    track_.storeDialog(log_->isChecked(), display_->isChecked(), length_->text().toStdString());
    QDialog::accept();
}
