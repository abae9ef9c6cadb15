// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Glyphs.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace kx::display {

QString tahomaFamily() {
    // Registered once per process; the result never changes afterwards.
    static const QString family = [] {
        for (const char* path :
             {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/wine/tahoma.ttf"}) {
            if (!QFile::exists(QString::fromLatin1(path))) continue;
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
            if (id < 0) continue;
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) return families.front();
        }
        QFont sans;
        sans.setStyleHint(QFont::SansSerif);
        return sans.defaultFamily();
    }();
    return family;
}

void GlyphSet::build(const QString& family, int pixelHeight, std::string_view characters) {
    m_glyphs = {};
    m_pixelHeight = pixelHeight;
    QFont font(family);
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    m_cellHeight = metrics.height();

    int x = 0;
    for (char ch : characters) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= m_glyphs.size() || m_glyphs[c].slot >= 0) continue;
        m_glyphs[c].slot = x;
        m_glyphs[c].advance = metrics.horizontalAdvance(QChar::fromLatin1(ch));
        x += m_glyphs[c].advance + 2 * kPad;
    }
    m_maskWidth = x;
    m_mask.assign(static_cast<std::size_t>(m_maskWidth) * static_cast<std::size_t>(m_cellHeight), 0);
    if (m_maskWidth == 0 || m_cellHeight <= 0) return;

    QImage strip(m_maskWidth, m_cellHeight, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    {
        QPainter p(&strip);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        for (std::size_t c = 0; c < m_glyphs.size(); ++c)
            if (m_glyphs[c].slot >= 0)
                p.drawText(m_glyphs[c].slot + kPad, metrics.ascent(),
                           QString(QChar::fromLatin1(static_cast<char>(c))));
    }
    for (int y = 0; y < m_cellHeight; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        for (int cx = 0; cx < m_maskWidth; ++cx)
            m_mask[static_cast<std::size_t>(y) * m_maskWidth + cx] = qAlpha(row[cx]) >= 128 ? 1 : 0;
    }
}

int GlyphSet::width(std::string_view text) const {
    int w = 0;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < m_glyphs.size() && m_glyphs[c].slot >= 0) w += m_glyphs[c].advance;
    }
    return w;
}

void GlyphSet::draw(PixelCanvas& canvas, int x, int top, std::string_view text, QRgb color) const {
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= m_glyphs.size() || m_glyphs[c].slot < 0) continue;
        const Glyph& g = m_glyphs[c];
        const int slotWidth = g.advance + 2 * kPad;
        for (int y = 0; y < m_cellHeight; ++y) {
            const std::uint8_t* row = m_mask.data() + static_cast<std::size_t>(y) * m_maskWidth + g.slot;
            for (int cx = 0; cx < slotWidth; ++cx)
                if (row[cx]) canvas.setPixel(x - kPad + cx, top + y, color);
        }
        x += g.advance;
    }
}

} // namespace kx::display
