// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the user manual's PDF from its Markdown chapters with Qt's own text layout:
//   kx_manual_pdf --source DIR --lang en|ru --version X.Y.Z --out FILE.pdf
// The first chapter is the title page; a table of contents with page numbers follows it.
#include "ManualSource.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kx::manual::Chapter;

constexpr int kResolution = 300;     // dots per inch of the PDF's layout
constexpr double kMarginMm = 20.0;   // on every side
constexpr double kBodyPoints = 10.0; // body text size

struct Options {
    fs::path source;
    std::string language = "en";
    std::string version;
    std::string out;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* key = argv[i];
        const char* value = argv[i + 1];
        if (!std::strcmp(key, "--source"))
            o.source = value;
        else if (!std::strcmp(key, "--lang"))
            o.language = value;
        else if (!std::strcmp(key, "--version"))
            o.version = value;
        else if (!std::strcmp(key, "--out"))
            o.out = value;
        else
            return false;
    }
    return !o.source.empty() && !o.out.empty();
}

struct Heading {
    int level;
    QString text;
};

// The "#" and "##" headings of a chapter, outside code blocks.
std::vector<Heading> headings(const std::string& markdown) {
    std::vector<Heading> out;
    bool code = false;
    std::size_t start = 0;
    while (start <= markdown.size()) {
        std::size_t end = markdown.find('\n', start);
        if (end == std::string::npos) end = markdown.size();
        const std::string line = markdown.substr(start, end - start);
        if (line.rfind("```", 0) == 0) code = !code;
        if (!code) {
            int level = 0;
            while (level < static_cast<int>(line.size()) && line[static_cast<std::size_t>(level)] == '#')
                ++level;
            if ((level == 1 || level == 2) && line.size() > static_cast<std::size_t>(level) + 1 &&
                line[static_cast<std::size_t>(level)] == ' ')
                out.push_back(
                    {level, QString::fromUtf8(line.substr(static_cast<std::size_t>(level) + 1)).trimmed()});
        }
        start = end + 1;
    }
    return out;
}

// Every image of a chapter must exist: a missing screenshot fails the build instead of leaving a hole.
bool imagesPresent(const Chapter& c, const std::string& text) {
    bool ok = true;
    for (const std::string& target : kx::manual::imageTargets(text)) {
        // Targets are relative to the chapter's folder; every language folder sits at the same depth.
        if (!fs::is_regular_file(c.path.parent_path() / target)) {
            std::fprintf(stderr, "kx_manual_pdf: %s: image %s not found\n", c.path.c_str(), target.c_str());
            ok = false;
        }
    }
    return ok;
}

// Images wider than the text are scaled down to its width (in the 96 dpi units Qt sizes images in).
void fitImages(QTextDocument& doc, qreal maxWidth) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat()) continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture =
                doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
            if (picture.isNull() || picture.width() <= maxWidth) continue;
            image.setWidth(maxWidth);
            image.setHeight(picture.height() * maxWidth / picture.width());
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    }
}

QString contentsTitle(const std::string& language) {
    return language == "ru" ? QStringLiteral("Содержание") : QStringLiteral("Contents");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: kx_manual_pdf --source DIR --lang en|ru --version X --out FILE.pdf\n");
        return 2;
    }
    const std::vector<Chapter> chapters = kx::manual::manualChapters(o.source, o.language);
    if (chapters.empty()) {
        std::fprintf(stderr, "kx_manual_pdf: no chapters in %s/en\n", o.source.c_str());
        return 1;
    }
    std::vector<std::string> texts;
    bool ok = true;
    for (const Chapter& c : chapters) {
        texts.push_back(kx::manual::withVersion(kx::manual::readText(c.path), o.version));
        ok = imagesPresent(c, texts.back()) && ok;
    }
    if (!ok) return 1;

    QPdfWriter writer(QString::fromStdString(o.out));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setTitle(o.language == "ru" ? QStringLiteral("KX48zz: руководство пользователя")
                                       : QStringLiteral("KX48zz user manual"));
    writer.setCreator(QStringLiteral("kx48zz"));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    QFont font;
    font.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(kBodyPoints);
    doc.setDefaultFont(font);
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setMargin(0);
    doc.rootFrame()->setFrameFormat(root);
    const qreal footer = writer.logicalDpiY() * 0.35;
    const QSizeF page(writer.width(), writer.height() - footer);
    doc.setPageSize(page);
    doc.setBaseUrl(QUrl::fromLocalFile(QString::fromStdString((o.source / "en").string() + "/")));

    // Title page, a marker where the contents go, then the chapters.
    static const QString kContentsMarker = QStringLiteral("@@CONTENTS@@");
    std::string all = texts[0] + "\n\n" + kContentsMarker.toStdString() + "\n\n";
    for (std::size_t i = 1; i < texts.size(); ++i) all += texts[i] + "\n\n";
    doc.setMarkdown(QString::fromStdString(all), QTextDocument::MarkdownDialectGitHub);
    // A page's first block loses its top margin, so the title is pushed down by a tall empty line.
    {
        const QTextBlockFormat heading = doc.begin().blockFormat();
        QTextCursor c(&doc);
        c.insertBlock();
        c.setBlockFormat(heading);
        c.movePosition(QTextCursor::Start);
        c.setBlockFormat(QTextBlockFormat());
        QTextCharFormat tall;
        tall.setFontPointSize(kBodyPoints * 16);
        c.setBlockCharFormat(tall);
    }
    QTextBlock marker = doc.begin();
    while (marker.isValid() && marker.text() != kContentsMarker) marker = marker.next();
    if (!marker.isValid()) {
        std::fprintf(stderr,
                     "kx_manual_pdf: the title page holds a list or table that swallowed the contents\n");
        return 1;
    }
    const int titleEnd = marker.blockNumber() - 1;

    // The contents, with placeholders for the page numbers.
    QTextCursor cursor(marker);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextBlockFormat titleFormat;
    titleFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    titleFormat.setBottomMargin(writer.logicalDpiY() * 0.15);
    QTextCharFormat titleChars;
    titleChars.setFont(font);
    titleChars.setFontPointSize(kBodyPoints * 1.8);
    titleChars.setFontWeight(QFont::Bold);
    cursor.setBlockFormat(titleFormat);
    cursor.insertText(contentsTitle(o.language), titleChars);

    std::vector<Heading> entries;
    std::vector<int> entryBlocks;
    for (std::size_t i = 1; i < texts.size(); ++i)
        for (const Heading& h : headings(texts[i])) entries.push_back(h);
    for (const Heading& h : entries) {
        QTextBlockFormat line;
        // Tab stops count in 96 dpi units from the block's own left margin; one at the very edge wraps.
        const qreal indent = h.level == 1 ? 0 : writer.logicalDpiX() * 0.25;
        line.setLeftMargin(indent);
        line.setTabPositions({QTextOption::Tab((page.width() - indent) * 0.98 * 96.0 / writer.logicalDpiX(),
                                               QTextOption::RightTab)});
        line.setTopMargin(h.level == 1 ? writer.logicalDpiY() * 0.06 : 0);
        QTextCharFormat chars;
        chars.setFont(font);
        chars.setFontWeight(h.level == 1 ? QFont::Bold : QFont::Normal);
        cursor.insertBlock(line, chars);
        cursor.insertText(h.text + QStringLiteral("\t000"));
        entryBlocks.push_back(cursor.block().blockNumber());
    }

    // Chapters start on a new page; the title page is centred and larger.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        if (b.blockNumber() == 0) continue;
        if (b.blockNumber() <= titleEnd) {
            QTextBlockFormat f;
            f.setAlignment(Qt::AlignHCenter);
            f.setBottomMargin(writer.logicalDpiY() * 0.12);
            c.mergeBlockFormat(f);
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextCharFormat chars;
            chars.setFontPointSize(b.blockNumber() == 1 ? kBodyPoints * 3.2 : kBodyPoints * 1.4);
            c.mergeCharFormat(chars);
        } else if (b.blockFormat().headingLevel() == 1) {
            QTextBlockFormat f;
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.mergeBlockFormat(f);
        }
    }
    // Tables: one thin rule between cells, a little air inside them, the header row shaded.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextTable* table = QTextCursor(b).currentTable();
        if (table == nullptr || table->firstPosition() != b.position()) continue;
        QTextTableFormat f = table->format();
        f.setBorder(0.5 * writer.logicalDpiX() / 72.0);
        f.setBorderBrush(Qt::gray);
        f.setBorderCollapse(true);
        f.setCellSpacing(0);
        f.setCellPadding(writer.logicalDpiX() * 0.04);
        f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(f);
        for (int col = 0; col < table->columns(); ++col) {
            QTextTableCell cell = table->cellAt(0, col);
            QTextCharFormat shade = cell.format();
            shade.setBackground(QColor(0xE8, 0xEC, 0xF0));
            cell.setFormat(shade);
        }
    }
    fitImages(doc, page.width() * 96.0 / writer.logicalDpiX());

    // Page numbers of the headings, in document order, into the contents.
    std::vector<int> pages;
    for (QTextBlock b = doc.findBlockByNumber(titleEnd + 1); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level != 1 && level != 2) continue;
        const QRectF r = doc.documentLayout()->blockBoundingRect(b);
        const qreal y = r.top() + (b.layout()->lineCount() > 0 ? b.layout()->lineAt(0).y() : 0);
        pages.push_back(static_cast<int>(y / page.height()) + 1);
    }
    if (pages.size() != entryBlocks.size()) {
        std::fprintf(stderr, "kx_manual_pdf: %zu headings in the contents, %zu in the text\n",
                     entryBlocks.size(), pages.size());
        return 1;
    }
    for (std::size_t i = 0; i < entryBlocks.size(); ++i) {
        QTextCursor c(doc.findBlockByNumber(entryBlocks[i]));
        c.movePosition(QTextCursor::EndOfBlock);
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 3);
        c.insertText(QString::number(pages[i]));
    }

    QPainter painter(&writer);
    const int count = doc.pageCount();
    QFont small = font;
    small.setPointSizeF(kBodyPoints * 0.8);
    for (int i = 0; i < count; ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        doc.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
        if (i == 0) continue;
        painter.setFont(small);
        painter.setPen(Qt::darkGray);
        const QRectF band(0, page.height(), page.width(), footer);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom, writer.title());
        painter.drawText(band, Qt::AlignRight | Qt::AlignBottom, QString::number(i + 1));
    }
    painter.end();
    return 0;
}
