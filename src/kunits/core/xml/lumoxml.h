#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/stream/lumoclass.h"
#include "core/stream/lumostream.h"
#include "core/stream/lumostringtree.h"

namespace kolvarin {

// The XML document model: a lenient byte-oriented parser into a tree of
// items and a writer that turns the tree back into indented text. Bytes of
// names and texts are Windows-1252; character data and attribute values are
// kept as UTF-16. A document and its items belong to one thread at a time.

enum class TLumoXMLItemKind : uint8_t {
    Item, // a plain item: the document root
    Text, // TLumoXMLText
    Comment, // TLumoXMLCommentTag
    Script, // TLumoXMLScriptTag
    CData, // TLumoXMLCDataTag
    DocType, // TLumoXMLDOCTYPETag
    Extra, // TLumoXMLExtraTag
    Tag, // TLumoXMLTag
    Process, // TLumoXMLProcessTag (a TLumoXMLTag too)
};

class TLumoXMLItem;

// The children of an item, in document order. Owns them: an item dropped
// from the list is destroyed. Grows in steps of 16 entries.
class TLumoXMLItemList : public TLumoClassList {
public:
    TLumoXMLItemList() : TLumoClassList(true, 15) {}
    TLumoXMLItem* Items(int32_t index) const;
};

class TLumoXMLItem : public TLumoClass {
public:
    TLumoXMLItem() : TLumoXMLItem(TLumoXMLItemKind::Item) {}

    // Items come from a block allocator built for trees of many small
    // objects; they are created and destroyed with new and delete as usual.
    static void* operator new(size_t size);
    static void operator delete(void* block);

    TLumoXMLItemKind Kind() const { return kind_; }
    // A tag or a processing instruction.
    bool IsTag() const { return kind_ == TLumoXMLItemKind::Tag || kind_ == TLumoXMLItemKind::Process; }

    // Destroys the children (a tag also forgets its name and parameters).
    virtual void Clear();

    // Appends a child; ownership passes to this item. Returns the child.
    template <class T>
    T* Add(std::unique_ptr<T> item)
    {
        T* raw = item.get();
        AddItem(item.release());
        return raw;
    }
    void AddItem(TLumoXMLItem* item);
    int32_t Count() const { return Items.Count(); }
    // nullptr outside 0 .. Count - 1.
    TLumoXMLItem* Item(int32_t index) const { return Items.Items(index); }

    TLumoXMLItemList Items;

protected:
    explicit TLumoXMLItem(TLumoXMLItemKind kind) : kind_(kind) {}

private:
    TLumoXMLItemKind kind_;
};

// Character data.
class TLumoXMLText : public TLumoXMLItem {
public:
    explicit TLumoXMLText(std::u16string text = {}) : TLumoXMLItem(TLumoXMLItemKind::Text), Text(std::move(text)) {}
    std::u16string Text;
};

// The constructs whose bytes are kept and written as they stand.
class TLumoXMLRawItem : public TLumoXMLItem {
public:
    std::string Text;

protected:
    TLumoXMLRawItem(TLumoXMLItemKind kind, std::string text) : TLumoXMLItem(kind), Text(std::move(text)) {}
};

// Between "<!--" and "-->".
class TLumoXMLCommentTag : public TLumoXMLRawItem {
public:
    explicit TLumoXMLCommentTag(std::string text = {}) : TLumoXMLRawItem(TLumoXMLItemKind::Comment, std::move(text)) {}
};
// Between "<%" and "%>".
class TLumoXMLScriptTag : public TLumoXMLRawItem {
public:
    explicit TLumoXMLScriptTag(std::string text = {}) : TLumoXMLRawItem(TLumoXMLItemKind::Script, std::move(text)) {}
};
// Between "<![CDATA[" and "]]>".
class TLumoXMLCDataTag : public TLumoXMLRawItem {
public:
    explicit TLumoXMLCDataTag(std::string text = {}) : TLumoXMLRawItem(TLumoXMLItemKind::CData, std::move(text)) {}
};
// After "<!DOCTYPE" up to ">", leading characters below 33 removed.
class TLumoXMLDOCTYPETag : public TLumoXMLRawItem {
public:
    explicit TLumoXMLDOCTYPETag(std::string text = {}) : TLumoXMLRawItem(TLumoXMLItemKind::DocType, std::move(text)) {}
};
// Any other "<!" construct: the bytes between "<!" and ">".
class TLumoXMLExtraTag : public TLumoXMLRawItem {
public:
    explicit TLumoXMLExtraTag(std::string text = {}) : TLumoXMLRawItem(TLumoXMLItemKind::Extra, std::move(text)) {}
};

struct TLumoXMLParameter {
    std::string Name;
    std::u16string Value;
};

// An element. Parameters keep document order and duplicates (both are
// written); lookups by name find the one added last.
class TLumoXMLTag : public TLumoXMLItem {
public:
    explicit TLumoXMLTag(std::string name = {}) : TLumoXMLTag(TLumoXMLItemKind::Tag, std::move(name)) {}
    ~TLumoXMLTag() override;

    void Clear() override;

    void AddParameter(std::string name, std::u16string value);
    // Document order. The reference stays valid until the tag changes.
    const std::vector<TLumoXMLParameter>& Parameters() const;
    // The parameter of that name added last; nullptr when there is none.
    const TLumoXMLParameter* FindParameter(std::string_view name) const;
    // Its value converted to Windows-1252, or Default.
    std::string GetParameter(std::string_view name, std::string_view defaultValue) const;

    std::string Name;
    // Written in the empty form ending in " />".
    bool IsEmptyTag = false;

protected:
    TLumoXMLTag(TLumoXMLItemKind kind, std::string name) : TLumoXMLItem(kind), Name(std::move(name)) {}

private:
    friend class TLumoXMLParser;
    friend class TLumoXMLWriter;

    void unpack() const;
    void dropPacked() const;
    std::u16string_view packed() const { return {packed_, packedSize_}; }

    mutable std::vector<TLumoXMLParameter> parameters_;
    // The parameters as parsed, until first use (see lumoxml_p.h).
    mutable char16_t* packed_ = nullptr;
    mutable size_t packedSize_ = 0;
    // Built on demand once a tag has many parameters; few are just scanned.
    mutable std::unique_ptr<TLumoStringTree> index_;
    mutable size_t indexed_ = 0;
};

// A processing instruction, between "<?" and "?>".
class TLumoXMLProcessTag : public TLumoXMLTag {
public:
    explicit TLumoXMLProcessTag(std::string name = {}) : TLumoXMLTag(TLumoXMLItemKind::Process, std::move(name)) {}
};

enum class TLumoXMLStatus {
    Ok,
    UnexpectedEnd, // the document ends inside a construct
    ExpectedEquals, // a parameter name without "="
    ExpectedQuote, // a parameter value without its opening quote
    ExpectedTagEnd, // a tag without its ">"
    ExpectedProcessEnd, // a processing instruction without "?>"
    BadComment, // "<!-" not followed by "-"
    BadCData, // "<![" not followed by "CDATA["
    ExpectedSemicolon, // an entity without its ";"
    UnclosedTag, // the document ends inside an open tag
    TooDeep, // more than kMaxDepth nested tags
    TooLarge, // more bytes than a stream can hold
    OutOfMemory,
};

struct TLumoXMLParseResult {
    TLumoXMLStatus Status = TLumoXMLStatus::Ok;
    int64_t Offset = 0; // byte offset where the fault was found
    explicit operator bool() const { return Status == TLumoXMLStatus::Ok; }
    const char* Description() const;
};

class TLumoXML : public TLumoClass {
public:
    // Deeper documents are refused rather than risking the stack.
    static constexpr int kMaxDepth = 256;

    TLumoXML() = default;

    // Replaces the tree by the document read from the stream (from its
    // start). False on a syntax error; the tree is then empty and
    // LastResult tells what and where.
    bool Parse(TLumoStream& stream);
    bool Parse(std::string_view bytes);
    const TLumoXMLParseResult& LastResult() const { return result_; }

    // Clears the stream and writes the tree as text. False when the stream
    // took fewer bytes than offered; the rest of the tree is then skipped.
    bool Write(TLumoStream& stream, int32_t indentStep = 2);

    TLumoXMLItem Root; // its children are the top-level items
    bool AutoCloseEmptyTags = true;
    bool IndentOutput = true;
    bool IndentText = false;

private:
    TLumoXMLParseResult result_;
};

// The writer's escaping: CR LF and lone CR become LF; characters with an
// entity are written as it; TAB, LF and 32-127 as bytes (after an LF,
// Indent spaces); other controls and 128-159 as "&#N;"; from 256 up as
// "&#xHEX;" (a surrogate pair as one character, a lone surrogate as FFFD).
std::string XMLEncodeText(std::u16string_view text, int32_t indent);

} // namespace kolvarin
