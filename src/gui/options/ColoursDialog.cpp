// "Display colours": the text and background colours of the day and night schemes.
#include "gui/options/ColoursDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Numbers.h"
#include "session/ColourScheme.h"

namespace keys = varno::settings::keys;

namespace {

const varno::settings::ColourKey& keyOf(ColoursDialog::Which which)
{
    switch (which) {
    case ColoursDialog::DayText:
        return keys::DayTimeForeGround;
    case ColoursDialog::DayBackground:
        return keys::DayTimeBackGround;
    case ColoursDialog::NightText:
        return keys::NightTimeForeGround;
    case ColoursDialog::NightBackground:
        break;
    }
    return keys::NightTimeBackGround;
}

QColor qColour(std::uint32_t c)
{
    return QColor(varno::session::redOf(c), varno::session::greenOf(c), varno::session::blueOf(c));
}

constexpr QSize kSampleSize(190, 64);

} // namespace

ColoursDialog::ColoursDialog(varno::settings::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle(QStringLiteral("Display colours"));
    picker_ = [](QWidget* parent) -> std::optional<QColor> {
        QColorDialog dlg(Qt::black, parent);
        dlg.setWindowTitle(QStringLiteral("Colour picker"));
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.selectedColor();
    };
    auto* columns = new QHBoxLayout;
    for (bool night : {false, true}) {
        auto* column = new QGroupBox(night ? QStringLiteral("Night") : QStringLiteral("Day"), this);
        auto* grid = new QGridLayout(column);
        int row = 0;
        for (Which which :
             night ? std::array{NightText, NightBackground} : std::array{DayText, DayBackground}) {
            const bool text = which == DayText || which == NightText;
            grid->addWidget(new QLabel(text ? QStringLiteral("Font") : QStringLiteral("Background"), column),
                            row++, 0, 1, 2);
            const std::uint32_t stored = settings_.read(keyOf(which));
            const int parts[3] = {varno::session::redOf(stored), varno::session::greenOf(stored),
                                  varno::session::blueOf(stored)};
            // Shown red, blue, green; each field still holds its own channel.
            for (auto [channel, label] : {std::pair{Red, "Red"}, {Blue, "Blue"}, {Green, "Green"}}) {
                auto* edit = new QLineEdit(QString::number(parts[channel]), column);
                edit->setMaxLength(3);
                fields_[which][channel] = edit;
                grid->addWidget(new QLabel(QString::fromLatin1(label), column), row, 0);
                grid->addWidget(edit, row++, 1);
                connect(edit, &QLineEdit::textChanged, this, &ColoursDialog::redrawSamples);
            }
            auto* pickButton = new QPushButton(QStringLiteral("Pick"), column);
            pick_[which] = pickButton;
            connect(pickButton, &QPushButton::clicked, this, [this, which] { pick(which); });
            grid->addWidget(pickButton, row++, 1);
        }
        if (night) {
            dimmed_ = new QCheckBox(QStringLiteral("Dimmed for night driving"), column);
            dimmed_->setToolTip(QStringLiteral("A dark grey view with muted amber text in place of the "
                                               "colours above, which are kept"));
            dimmed_->setChecked(settings_.read(keys::NightPalette) == 1);
            grid->addWidget(dimmed_, row++, 0, 1, 2);
            connect(dimmed_, &QCheckBox::toggled, this, &ColoursDialog::redrawSamples);
        }
        grid->addWidget(new QLabel(QStringLiteral("Sample"), column), row++, 0, 1, 2);
        samples_[night] = new QLabel(column);
        samples_[night]->setFixedSize(kSampleSize);
        grid->addWidget(samples_[night], row, 0, 1, 2);
        columns->addWidget(column);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    redrawSamples();
}

std::uint32_t ColoursDialog::colour(Which which) const
{
    const auto part = [&](Channel c) {
        return static_cast<std::uint32_t>(varno::leadingInt(fields_[which][c]->text().toStdString())) & 0xFFu;
    };
    return part(Red) | part(Green) << 8 | part(Blue) << 16;
}

QImage ColoursDialog::sample(bool night) const
{
    return samples_[night]->pixmap().toImage();
}

void ColoursDialog::redrawSamples()
{
    // Called for every field as the constructor fills them; the samples wait for the last.
    for (const auto& colour : fields_)
        for (const QLineEdit* f : colour)
            if (!f)
                return;
    if (!dimmed_)
        return;
    using varno::session::ColourScheme;
    const bool dimmed = dimmed_->isChecked();
    for (Which which : {NightText, NightBackground}) {
        for (QLineEdit* f : fields_[which])
            f->setEnabled(!dimmed);
        pick_[which]->setEnabled(!dimmed);
    }
    for (bool night : {false, true}) {
        const bool dim = night && dimmed;
        QPixmap pixmap(kSampleSize);
        pixmap.fill(
            qColour(dim ? ColourScheme::kDimBackground : colour(night ? NightBackground : DayBackground)));
        QPainter p(&pixmap);
        QFont font(QStringLiteral("Times New Roman"));
        font.setPixelSize(48);
        font.setWeight(QFont::Normal);
        p.setFont(font);
        p.setPen(qColour(dim ? ColourScheme::kDimText : colour(night ? NightText : DayText)));
        p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Sample"));
        p.end();
        samples_[night]->setPixmap(pixmap);
    }
}

void ColoursDialog::pick(Which which)
{
    const std::optional<QColor> chosen = picker_(this);
    if (!chosen)
        return;
    fields_[which][Red]->setText(QString::number(chosen->red()));
    fields_[which][Green]->setText(QString::number(chosen->green()));
    fields_[which][Blue]->setText(QString::number(chosen->blue()));
}

void ColoursDialog::accept()
{
    for (Which which : {DayBackground, NightBackground, DayText, NightText})
        settings_.write(keyOf(which), colour(which));
    // Written only when changed: a profile that never chose keeps its file as it was.
    if (dimmed_->isChecked() != (settings_.read(keys::NightPalette) == 1))
        settings_.write(keys::NightPalette, dimmed_->isChecked());
    QDialog::accept();
}
