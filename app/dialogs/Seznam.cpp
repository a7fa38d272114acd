#include "app/dialogs/Seznam.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>
#include <memory>
#include <stdexcept>

#include "app/core/Discs.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FailureReason.h"
#include "app/core/FilmListText.h"
#include "app/core/Global.h"
#include "app/qtedge/QtEdge.h"
#include "app/qtedge/SpecifiedSizes.h"
#include "fileio/FileIO.h"
#include "text/Cp1250.h"

namespace {

// The first part fills more than a maximised screen; a later part takes a few
// milliseconds, so that the window answers between parts.
constexpr qsizetype kLinesInFirstPart = 300;
constexpr qsizetype kLinesPerLaterPart = 2000;

QToolButton* AddToolButton(QToolBar* bar, const char* caption) {
    const SpecifiedPixels pixels(bar->font());
    auto* button = new QToolButton(bar);
    button->setText(QString::fromUtf8(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFixedSize(pixels(54), pixels(21));
    bar->addWidget(button);
    return button;
}

void AddSeparator(QToolBar* bar) {
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(SpecifiedPixels(bar->font())(8));
    bar->addWidget(gap);
}

std::vector<std::string> ModeLines(TClientDataSet& table, int mode) {
    if (mode == 0) return FilmListLines(table);
    if (mode == 1) return SummaryLines(table, DataFileNameText());
    // The loans file is read anew, as the catalogue is: the file is the master copy.
    if (mode == TSeznamF::kDiscOverview) return DiscOverviewLines(FilmsByDisc(table), ReadLoans().Loans);
    if (mode == TSeznamF::kLentDiscs) {
        const LoanBook loans = ReadLoans().Loans;
        return LoanListLines(FilmsByDisc(table, &loans), loans, Today());
    }
    return {};
}

}  // namespace

TSeznamF::TSeznamF(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Práce se seznamem"));
    setFont(WindowFont());
    const SpecifiedPixels pixels(font());
    resize(pixels(493), pixels(470));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setFixedHeight(pixels(29));
    ToolButton1 = AddToolButton(ToolBar1, "&Uložit");
    AddSeparator(ToolBar1);
    ToolButton3 = AddToolButton(ToolBar1, "&Tisknout");
    AddSeparator(ToolBar1);
    ToolButton5 = AddToolButton(ToolBar1, "&Zrušit");
    layout->addWidget(ToolBar1);

    Panel1 = new QFrame(this);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    // A plain-text box lays out only the lines it shows, so that a list of a
    // hundred thousand films opens at once; its text still carries one format.
    RichEdit1 = new QPlainTextEdit(Panel1);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setTabChangesFocus(false);
    // Pasted text takes the box's one format (this box accepts no rich text), so
    // what is printed stays fixed pitch.
    panelLayout->addWidget(RichEdit1);
    layout->addWidget(Panel1, 1);

    pendingTimer_ = new QTimer(this);
    pendingTimer_->setInterval(0);
    connect(pendingTimer_, &QTimer::timeout, this, [this] { AppendPendingPart(kLinesPerLaterPart); });

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, true);

    connect(ToolButton1, &QToolButton::clicked, this, [this] { RunHandler([this] { ToolButton1Click(); }); });
    connect(ToolButton3, &QToolButton::clicked, this, [this] { RunHandler([this] { ToolButton3Click(); }); });
    connect(ToolButton5, &QToolButton::clicked, this, [this] { ToolButton5Click(); });
}

void TSeznamF::Execute(TClientDataSet& table, int mode) {
    Fill(table, mode);
    setWindowState(windowState() | Qt::WindowMaximized);
    RichEdit1->setFocus();
    exec();
}

void TSeznamF::Fill(TClientDataSet& table, int mode) {
    pendingTimer_->stop();
    pending_.clear();
    pendingFrom_ = 0;
    RichEdit1->clear();
    // The text goes in as it was given, not as an edit the user could undo.
    RichEdit1->document()->setUndoRedoEnabled(false);
    const QFont font = CourierNew(8);
    RichEdit1->document()->setDefaultFont(font);
    QTextCharFormat format;
    format.setFont(font);
    RichEdit1->setCurrentCharFormat(format);

    // The lines as one text, put into the box a part at a time. It is kept in
    // Windows-1250 and widened part by part: widened at once it would be twice
    // its size of fresh memory to fill before the first line shows.
    const std::vector<std::string> lines = ModeLines(table, mode);
    std::size_t length = lines.size();
    for (const std::string& line : lines) length += line.size();
    std::string text;
    text.reserve(length);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    pending_ = std::move(text);
    AppendPendingPart(kLinesInFirstPart);
    RichEdit1->moveCursor(QTextCursor::Start);
    if (pendingTimer_->isActive()) return;
    RichEdit1->document()->setUndoRedoEnabled(true);
}

void TSeznamF::AppendPendingPart(qsizetype lines) {
    // A part ends before a line break, so the next one begins with it.
    std::size_t end = pendingFrom_;
    while (lines-- > 0 && end != std::string::npos) end = pending_.find('\n', end + 1);
    if (end == std::string::npos) end = pending_.size();
    QTextCharFormat format;
    format.setFont(RichEdit1->document()->defaultFont());
    QTextCursor cursor(RichEdit1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToQString(std::string_view(pending_).substr(pendingFrom_, end - pendingFrom_)), format);
    pendingFrom_ = end;
    if (pendingFrom_ < pending_.size()) {
        pendingTimer_->start();
        return;
    }
    pendingTimer_->stop();
    std::string().swap(pending_);
    pendingFrom_ = 0;
    RichEdit1->document()->setUndoRedoEnabled(true);
}

void TSeznamF::WholeTextIn() {
    if (pendingTimer_->isActive()) AppendPendingPart(std::numeric_limits<qsizetype>::max());
}

void TSeznamF::SaveText(const QString& fileName) {
    WholeTextIn();
    std::string bytes;
    for (QTextBlock block = RichEdit1->document()->begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        line.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
        bytes += FromQString(line);
        bytes += "\r\n";
    }
    try {
        // A text file is written as a catalogue is: beside the old one and renamed
        // over it, or in place where the folder takes no new file.
        fileio::ReplaceFileAtomically(QFile::encodeName(fileName).toStdString(), bytes);
    } catch (const fileio::FileError& failure) {
        throw EFileError(cp1250::FromUtf8(kSaveFailedPhrase) +
                             FromQString(QDir::toNativeSeparators(fileName)) + ".\n" + FailureReason(failure),
                         failure.ErrorNumber());
    }
}

void TSeznamF::PrintText(QPrinter& printer) {
    printer.setDocName(QString::fromUtf8("Kinovka - databáze filmů"));
    // The whole printable area and nothing else: the painter starts at its
    // corner (not at the sheet's, which a printer cannot reach), and no margin is
    // added to the printer's own.
    printer.setFullPage(false);
    QPageLayout layout = printer.pageLayout();
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);

    WholeTextIn();
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw std::runtime_error(cp1250::FromUtf8("Tisk se nepodařilo zahájit"));
    }
    // A copy laid out for the printer's resolution and page, so the box on the
    // screen keeps its own layout. No margin: the text fills the whole printable
    // area. A line wider than it continues on the next printed line rather than
    // being cut off.
    std::unique_ptr<QTextDocument> document(RichEdit1->document()->clone());
    document->documentLayout()->setPaintDevice(&printer);
    document->setDocumentMargin(0);
    QTextOption wrapping = document->defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(wrapping);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    document->setPageSize(page.size());

    for (int i = 0; i < document->pageCount(); ++i) {
        if (i > 0) printer.newPage();
        const QRectF shown(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        document->drawContents(&painter, shown);
        painter.restore();
    }
    painter.end();
}

void TSeznamF::ToolButton1Click() {
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    SaveText(SaveDialog1->selectedFiles().constFirst());
}

void TSeznamF::ToolButton3Click() {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        UserInterface().MessageBox(
            cp1250::FromUtf8("Není nastavena výchozí tiskárna, seznam nelze vytisknout."),
            MessageKind::Error, MessageButtons::Ok);
        return;
    }
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    PrintText(printer);
}

void TSeznamF::ToolButton5Click() { close(); }

void TSeznamF::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
