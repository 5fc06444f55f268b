// Checks an SVG file as a reader of it would: well-formed XML whose
// elements are all the writer's own, so that no text drawn in the picture
// became markup. Shared by the export tests and the chaos run.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <string>

namespace kurvo::test {

// What is wrong with the SVG `bytes`, or an empty text. `title` and
// `texts` receive the document title and the contents of every text
// element when given.
inline std::string SvgProblem(const QByteArray& bytes, QString* title = nullptr, QStringList* texts = nullptr)
{
    static const QSet<QString> writerElements = {
        "svg",  "title", "desc", "defs", "g", "path", "polyline", "polygon", "rect", "text", "image", "ellipse",
        "line", "circle", "linearGradient", "radialGradient", "stop", "clipPath", "use", "tspan"};
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        if (!writerElements.contains(name)) return "an element <" + name.toStdString() + "> the writer does not make";
        if (name == "title" && title != nullptr) *title = xml.readElementText();
        if (name == "text" && texts != nullptr) texts->append(xml.readElementText());
    }
    if (xml.hasError())
        return "not well-formed at line " + std::to_string(xml.lineNumber()) + ": " + xml.errorString().toStdString();
    return {};
}

}  // namespace kurvo::test
