#pragma once
// The XML document behind the language database.
#include <QString>

#include <memory>

namespace pugi { class xml_document; }

class CXmlReaderWriter
{
public:
    CXmlReaderWriter();
    virtual ~CXmlReaderWriter();
    CXmlReaderWriter(const CXmlReaderWriter&) = delete;
    CXmlReaderWriter& operator=(const CXmlReaderWriter&) = delete;

    // A new document: the xml declaration and one element of that name.
    void Create(const QString& rootName);
    // Loads the file; on failure the current document stays and a
    // CPrivateException with "line: %d\nsrc text: %s\nreason: %s" is thrown.
    void Load(const QString& path);
    // Text of the first node the expression selects, evaluated on the root
    // element; throws CPrivateException when nothing matches or there is no document.
    QString GetNodeText(const QString& xpath) const;
    // Throws when failed is set.
    static void CheckResult(bool failed, int resultCode);
    bool HasDocument() const { return m_document != nullptr; }

private:
    std::unique_ptr<pugi::xml_document> m_document;
};
