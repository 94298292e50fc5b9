#include "Viewer/imaging/XmpSidecar.h"
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/imaging/ColourLabels.h"
#include "Viewer/imaging/SiblingPath.h"
#include "Viewer/imaging/WriterMessage.h"
#include "Framework/MsxmlIds.h"
#include "Framework/Variant.h"
#include <shlwapi.h>
#include <cwchar>
#include <string>
#include <utility>

namespace {
constexpr wchar_t RdfNamespace[] = L"http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr wchar_t XmpNamespace[] = L"http://ns.adobe.com/xap/1.0/";
constexpr wchar_t MicrosoftPhotoNamespace[] = L"http://ns.microsoft.com/photo/1.0/";
// The same namespace as other programs write it, without its final "/".
constexpr wchar_t MicrosoftPhotoBareNamespace[] = L"http://ns.microsoft.com/photo/1.0";
constexpr wchar_t PhotoshopNamespace[] = L"http://ns.adobe.com/photoshop/1.0/";
// The prefixes of every query, whatever prefixes the file itself uses.
constexpr wchar_t SelectionNamespaces[] =
    L"xmlns:x=\"adobe:ns:meta/\" xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
    L"xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:MicrosoftPhoto=\"http://ns.microsoft.com/photo/1.0/\" "
    L"xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\" "
    L"xmlns:MicrosoftPhotoBare=\"http://ns.microsoft.com/photo/1.0\"";
constexpr wchar_t DescriptionPath[] = L"/x:xmpmeta/rdf:RDF/rdf:Description";

constexpr UINT SidecarCreateFailedStringId = 10176;
constexpr UINT WriterCaptionStringId = 10174;

struct Property {
    const wchar_t* prefix;  // the standard prefix, as the queries use it
    const wchar_t* localName;
    const wchar_t* namespaceName;
    // A second spelling of the namespace that files carry, with the prefix its queries use; a file
    // holds the property under either, and updating must find it there rather than add a second one.
    const wchar_t* otherPrefix = nullptr;
    const wchar_t* otherNamespaceName = nullptr;

    std::wstring QualifiedName() const { return std::wstring(prefix) + L":" + localName; }
    // "path/step-prefix:Local", joined with the other spelling's by "|" (document order decides).
    std::wstring Query(const wchar_t* step) const
    {
        std::wstring query = std::wstring(DescriptionPath) + step + QualifiedName();
        if (otherPrefix) query += std::wstring(L" | ") + DescriptionPath + step + otherPrefix + L":" + localName;
        return query;
    }
    std::wstring ElementQuery() const { return Query(L"/"); }
    std::wstring AttributeQuery() const { return Query(L"/@"); }
    std::wstring CarrierQuery() const
    {
        std::wstring query = std::wstring(DescriptionPath) + L"[@" + QualifiedName();
        if (otherPrefix) query += std::wstring(L" or @") + otherPrefix + L":" + localName;
        return query + L"]";
    }
};

const Property StarRating{L"xmp", L"Rating", XmpNamespace};
const Property PercentRating{L"MicrosoftPhoto", L"Rating", MicrosoftPhotoNamespace, L"MicrosoftPhotoBare",
                             MicrosoftPhotoBareNamespace};
const Property Label{L"xmp", L"Label", XmpNamespace};
const Property Urgency{L"photoshop", L"Urgency", PhotoshopNamespace};

using DocumentPtr = ComPtr<IXMLDOMDocument2>;
using NodePtr = ComPtr<IXMLDOMNode>;

VARIANT NodeTypeArgument(DOMNodeType type) noexcept
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = type;
    return v;
}

// A new document loaded from the file, ready for the namespace-prefixed queries.
DocumentPtr LoadDocument(const wchar_t* path)
{
    DocumentPtr document;
    ThrowIfFailed(document.CoCreate(XmlDocumentClass, CLSCTX_ALL));
    ThrowIfFailed(document->put_async(VARIANT_FALSE));
    ThrowIfFailed(document->put_validateOnParse(VARIANT_FALSE));
    ThrowIfFailed(document->put_preserveWhiteSpace(VARIANT_FALSE));
    ThrowIfFailed(document->put_resolveExternals(VARIANT_FALSE));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->load(LentTextVariant(Bstr(path)), &loaded)) || loaded != VARIANT_TRUE)
        throw HResultError(E_UNEXPECTED);
    ThrowIfFailed(document->setProperty(Bstr(L"SelectionNamespaces").Get(), LentTextVariant(Bstr(SelectionNamespaces))));
    return document;
}

NodePtr SelectNode(IXMLDOMNode* context, const std::wstring& query)
{
    NodePtr node;
    if (FAILED(context->selectSingleNode(Bstr(query).Get(), &node))) return {};
    return node;
}

std::wstring NodeText(IXMLDOMNode* node)
{
    Bstr text;
    if (FAILED(node->get_text(&text))) return {};
    return std::wstring(text.View());
}

std::wstring NodeName(IXMLDOMNode* node)
{
    Bstr name;
    ThrowIfFailed(node->get_nodeName(&name));
    return std::wstring(name.View());
}

DOMNodeType NodeType(IXMLDOMNode* node)
{
    DOMNodeType type = NODE_INVALID;
    ThrowIfFailed(node->get_nodeType(&type));
    return type;
}

// The element form of a property, else its attribute form, of the whole document.
NodePtr FindProperty(IXMLDOMDocument2* document, const Property& property)
{
    NodePtr node = SelectNode(document, property.ElementQuery());
    return node ? node : SelectNode(document, property.AttributeQuery());
}

struct Declaration {
    NodePtr node;
    std::wstring prefix;
    std::wstring namespaceName;  // as the file spells it
};

// The first node of the query that declares the namespace name (or its other spelling), with the
// prefix it binds.
Declaration FindNamespaceDeclaration(IXMLDOMDocument2* document, const std::wstring& query, const wchar_t* namespaceName,
                                     const wchar_t* otherNamespaceName = nullptr)
{
    ComPtr<IXMLDOMNodeList> nodes;
    if (FAILED(document->selectNodes(Bstr(query).Get(), &nodes)) || !nodes) return {};
    long count = 0;
    ThrowIfFailed(nodes->get_length(&count));
    for (long i = 0; i < count; ++i) {
        NodePtr node;
        ThrowIfFailed(nodes->get_item(i, &node));
        ComPtr<IXMLDOMNamedNodeMap> attributes;
        if (FAILED(node->get_attributes(&attributes)) || !attributes) continue;
        long attributeCount = 0;
        ThrowIfFailed(attributes->get_length(&attributeCount));
        for (long a = 0; a < attributeCount; ++a) {
            NodePtr attribute;
            ThrowIfFailed(attributes->get_item(a, &attribute));
            std::wstring name = NodeName(attribute.Get());
            size_t colon = name.find(L':');
            if (colon == std::wstring::npos) continue;
            const std::wstring value = NodeText(attribute.Get());
            if (value == namespaceName || (otherNamespaceName && value == otherNamespaceName))
                return {node, name.substr(colon + 1), value};
        }
    }
    return {};
}

// Whether a Description still carries a property after one was taken out of it.
bool DescriptionHasContent(IXMLDOMNode* description, const std::wstring& rdfPrefix)
{
    VARIANT_BOOL children = VARIANT_FALSE;
    ThrowIfFailed(description->hasChildNodes(&children));
    if (children == VARIANT_TRUE) return true;
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (FAILED(description->get_attributes(&attributes)) || !attributes) return false;
    long count = 0;
    ThrowIfFailed(attributes->get_length(&count));
    const std::wstring about = rdfPrefix + L":about";
    for (long i = 0; i < count; ++i) {
        NodePtr attribute;
        ThrowIfFailed(attributes->get_item(i, &attribute));
        std::wstring name = NodeName(attribute.Get());
        if (name.empty()) return true;
        if (StrCmpIW(name.c_str(), about.c_str()) != 0 && StrCmpNIW(name.c_str(), L"xmlns:", 6) != 0) return true;
    }
    return false;
}

NodePtr CreateElement(IXMLDOMDocument2* document, const std::wstring& qualifiedName, const wchar_t* namespaceName)
{
    NodePtr element;
    ThrowIfFailed(document->createNode(NodeTypeArgument(NODE_ELEMENT), Bstr(qualifiedName).Get(),
                                       Bstr(namespaceName).Get(), &element));
    if (!element) throw HResultError(E_FAIL);
    return element;
}

void AppendChild(IXMLDOMNode* parent, IXMLDOMNode* child)
{
    NodePtr added;
    ThrowIfFailed(parent->appendChild(child, &added));
}

// The sidecar's rdf:RDF element and the prefix the file binds to the RDF namespace.
struct RdfRoot {
    NodePtr node;
    std::wstring prefix;
};

RdfRoot FindOrCreateRdfRoot(IXMLDOMDocument2* document)
{
    Declaration declared = FindNamespaceDeclaration(document, L"/x:xmpmeta/rdf:RDF", RdfNamespace);
    if (declared.node) return {declared.node, declared.prefix};
    // The namespace may be declared further up; the element itself is still the one to use.
    if (NodePtr existing = SelectNode(document, L"/x:xmpmeta/rdf:RDF")) {
        Bstr prefix;
        ThrowIfFailed(existing->get_prefix(&prefix));
        return {existing, std::wstring(prefix.View())};
    }
    NodePtr meta = SelectNode(document, L"/x:xmpmeta");
    if (!meta) throw HResultError(E_UNEXPECTED);
    NodePtr rdf = CreateElement(document, L"rdf:RDF", RdfNamespace);
    AppendChild(meta.Get(), rdf.Get());
    return {rdf, L"rdf"};
}

void RemoveProperty(IXMLDOMDocument2* document, const Property& property, NodePtr found, const RdfRoot& root)
{
    NodePtr description;
    if (NodeType(found.Get()) == NODE_ATTRIBUTE) {
        description = SelectNode(document, property.CarrierQuery());
        if (!description) return;
        ComPtr<IXMLDOMElement> element;
        ThrowIfFailed(description.As(element));
        const Bstr name(NodeName(found.Get()));
        // The XML object may free the attribute with its removal: no reference may outlive it.
        found = nullptr;
        ThrowIfFailed(element->removeAttribute(name.Get()));
    } else {
        ThrowIfFailed(found->get_parentNode(&description));
        NodePtr removed;
        ThrowIfFailed(description->removeChild(found.Get(), &removed));
    }
    if (DescriptionHasContent(description.Get(), root.prefix)) return;
    NodePtr parent, removed;
    if (SUCCEEDED(description->get_parentNode(&parent)) && parent)
        ThrowIfFailed(parent->removeChild(description.Get(), &removed));
}

void AddProperty(IXMLDOMDocument2* document, const Property& property, const std::wstring& text, const RdfRoot& root)
{
    Declaration declared =
        FindNamespaceDeclaration(document, DescriptionPath, property.namespaceName, property.otherNamespaceName);
    if (!declared.node) {
        NodePtr description = CreateElement(document, root.prefix + L":Description", RdfNamespace);
        ComPtr<IXMLDOMElement> element;
        ThrowIfFailed(description.As(element));
        NodePtr about;
        ThrowIfFailed(document->createNode(NodeTypeArgument(NODE_ATTRIBUTE), Bstr(root.prefix + L":about").Get(),
                                           Bstr(RdfNamespace).Get(), &about));
        if (!about) throw HResultError(E_FAIL);
        ComPtr<IXMLDOMAttribute> aboutAttribute, replaced;
        ThrowIfFailed(about.As(aboutAttribute));
        ThrowIfFailed(element->setAttributeNode(aboutAttribute.Get(), &replaced));
        ThrowIfFailed(element->setAttribute(Bstr(std::wstring(L"xmlns:") + property.prefix).Get(),
                                            LentTextVariant(Bstr(property.namespaceName))));
        AppendChild(root.node.Get(), description.Get());
        declared = {description, property.prefix, property.namespaceName};
    }
    NodePtr value =
        CreateElement(document, declared.prefix + L":" + property.localName, declared.namespaceName.c_str());
    ThrowIfFailed(value->put_text(Bstr(text).Get()));
    AppendChild(declared.node.Get(), value.Get());
}

// Sets one property to the text where the file keeps it, or clears it for the value 0.
void UpdateProperty(IXMLDOMDocument2* document, const Property& property, int value, const std::wstring& text,
                    const RdfRoot& root)
{
    NodePtr found = FindProperty(document, property);
    if (found && value != 0) {
        ThrowIfFailed(found->put_text(Bstr(text).Get()));
    } else if (found) {
        RemoveProperty(document, property, std::move(found), root);
    } else if (value != 0) {
        AddProperty(document, property, text, root);
    }
}

void UpdateMetadataDate(IXMLDOMDocument2* document, const SYSTEMTIME& time)
{
    Declaration declared = FindNamespaceDeclaration(document, DescriptionPath, XmpNamespace);
    if (!declared.node) return;
    const std::wstring date = FormatMetadataDate(time);
    NodePtr found = SelectNode(declared.node.Get(), L"xmp:MetadataDate");
    if (!found) found = SelectNode(declared.node.Get(), L"@xmp:MetadataDate");
    if (found) {
        ThrowIfFailed(found->put_text(Bstr(date).Get()));
        return;
    }
    NodePtr element = CreateElement(document, declared.prefix + L":MetadataDate", XmpNamespace);
    ThrowIfFailed(element->put_text(Bstr(date).Get()));
    AppendChild(declared.node.Get(), element.Get());
}

std::wstring Decimal(int value)
{
    return std::to_wstring(value);
}

// The word of a property read from the sidecar; -1 when it holds no usable value.
int ConvertRead(const Property& property, const std::wstring& text)
{
    if (&property == &Label) return ParseLabelName(text.c_str());
    long number = wcstol(text.c_str(), nullptr, 10);
    if (&property == &PercentRating) return number < 0 ? -1 : number > 99 ? 99 : static_cast<int>(number);
    long last = &property == &StarRating ? 5 : 9;
    return number >= 1 && number <= last ? static_cast<int>(number) : -1;
}

std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

// The one-line text of a new sidecar.
std::wstring NewSidecarText(const wchar_t* softwareName, int value, bool isLabel, int convention, bool isUrgency,
                            const SYSTEMTIME& time)
{
    const bool urgencyToo = isUrgency || (isLabel && (convention == 1 || convention == 2));
    const std::wstring urgency = urgencyToo && value != 0 ? Decimal(value) : std::wstring();
    std::wstring text = L"<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"";
    text += softwareName ? softwareName : L"";
    text += L"\"><rdf:RDF xmlns:rdf=\"";
    text += RdfNamespace;
    text += L"\">";
    if (!urgency.empty()) {
        text += L"<rdf:Description rdf:about=\"\" xmlns:photoshop=\"";
        text += PhotoshopNamespace;
        text += L"\"><photoshop:Urgency>" + urgency + L"</photoshop:Urgency></rdf:Description>";
    }
    text += L"<rdf:Description rdf:about=\"\" xmlns:xmp=\"";
    text += XmpNamespace;
    text += L"\"><xmp:MetadataDate>" + FormatMetadataDate(time) + L"</xmp:MetadataDate>";
    if (isLabel) {
        text += L"<xmp:Label>" + std::wstring(GetLabelName(value, convention)) + L"</xmp:Label>";
    } else if (!isUrgency) {
        text += L"<xmp:Rating>" + Decimal(value) + L"</xmp:Rating></rdf:Description>";
        text += L"<rdf:Description rdf:about=\"\" xmlns:MicrosoftPhoto=\"";
        text += MicrosoftPhotoNamespace;
        text += L"\"><MicrosoftPhoto:Rating>" + Decimal(RatingToPercent(value)) + L"</MicrosoftPhoto:Rating>";
    }
    text += L"</rdf:Description></rdf:RDF></x:xmpmeta>";
    return text;
}

// Saves beside the sidecar and then puts the new file in its place: a save that fails or is cut
// short leaves the old sidecar, with everything other programs keep in it, as it was.
HRESULT SaveReplacing(IXMLDOMDocument2* document, const wchar_t* sidecarPath)
{
    const std::wstring temporary = MakeSiblingPath(sidecarPath);
    HRESULT hr = document->save(LentTextVariant(Bstr(temporary)));
    if (SUCCEEDED(hr) &&
        !MoveFileExW(temporary.c_str(), sidecarPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = HResultFromLastError();
    if (FAILED(hr)) DeleteFileW(temporary.c_str());
    return hr;
}
}

int RatingToPercent(int rating) noexcept
{
    switch (rating) {
    case 1: return 1;
    case 2: return 25;
    case 3: return 50;
    case 4: return 75;
    case 5: return 99;
    default: return 0;
    }
}

std::wstring SidecarPathFor(const wchar_t* picturePath)
{
    if (!picturePath || !*picturePath) return {};
    std::wstring path = picturePath;
    path.resize(PathFindExtensionW(picturePath) - picturePath);
    return path + L".xmp";
}

std::wstring FormatMetadataDate(const SYSTEMTIME& time)
{
    wchar_t text[64];
    swprintf(text, 64, L"%04d-%02d-%02dT%02d:%02d:%02d.%02d+00:00", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond, time.wMilliseconds / 10);
    return text;
}

HRESULT ReadXmpSidecar(const wchar_t* picturePath, RatingWords& words) noexcept
{
    return CatchAsHResult([&] {
        const std::wstring path = SidecarPathFor(picturePath);
        if (path.empty()) return E_FAIL;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return S_FALSE;
        DocumentPtr document = LoadDocument(path.c_str());
        struct Target {
            const Property& property;
            int16_t& word;
        } targets[] = {{StarRating, words.rating}, {PercentRating, words.ratingPercent}, {Label, words.label},
                       {Urgency, words.urgency}};
        bool anyRead = false;
        for (Target& target : targets) {
            NodePtr node = FindProperty(document.Get(), target.property);
            if (!node) continue;
            int word = ConvertRead(target.property, NodeText(node.Get()));
            target.word = static_cast<int16_t>(word);
            anyRead |= word != -1;
        }
        return anyRead ? S_OK : S_FALSE;
    });
}

HRESULT CreateXmpSidecar(const SidecarWriterContext& writer, const wchar_t* sidecarPath, int value, bool isLabel,
                         int convention, bool isUrgency, const SYSTEMTIME& time) noexcept
{
    return CatchAsHResult([&] {
        const std::string text =
            Utf8(NewSidecarText(writer.softwareName, value, isLabel, convention, isUrgency, time));
        const UniqueHandle file(
            CreateFileW(sidecarPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr));
        DWORD written = 0;
        if (file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size())
            return S_OK;
        HRESULT failure = HResultFromLastError();
        ShowWriterMessage(writer.owner, WriterCaptionStringId, MB_ICONERROR, SidecarCreateFailedStringId, sidecarPath);
        return failure;
    });
}

HRESULT UpdateXmpSidecar(const wchar_t* sidecarPath, int value, bool isLabel, int convention, bool isUrgency,
                         const SYSTEMTIME& time) noexcept
{
    return CatchAsHResult([&] {
        DocumentPtr document = LoadDocument(sidecarPath);
        RdfRoot root = FindOrCreateRdfRoot(document.Get());
        if (isLabel) {
            if (convention == 1) UpdateProperty(document.Get(), Urgency, value, Decimal(value), root);
            UpdateProperty(document.Get(), Label, value, GetLabelName(value, convention), root);
            UpdateMetadataDate(document.Get(), time);
        } else if (isUrgency) {
            UpdateProperty(document.Get(), Urgency, value, Decimal(value), root);
        } else {
            UpdateProperty(document.Get(), StarRating, value, Decimal(value), root);
            UpdateMetadataDate(document.Get(), time);
            UpdateProperty(document.Get(), PercentRating, value, Decimal(RatingToPercent(value)), root);
        }
        return SaveReplacing(document.Get(), sidecarPath);
    });
}
