#pragma once
// The schema of one directory server as the program sees it: the five kinds
// of subschema elements by OID, name indices over attribute types and object
// classes, what the root DSE said, the load state, and the persistent side
// (cache entry GUID, server kind, time stamp, class use counts).
//
// Readers never see a half-filled schema. The elements live in a
// CSchemaContent that is never changed once published: a filler takes a copy
// (CopyContent), fills it, and publishes it whole (Publish), which builds the
// indices and swaps it in under a lock. A reader takes the published content
// (GetContent) and keeps a consistent view for as long as it holds it; every
// query of CLDAPSchema looks at one such view.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/StringList.h"
#include "base/RefPtr.h"
#include "base/Unknown.h"
#include "schema/SchemaHostStorage.h"
#include "schema/SchemaNames.h"
#include "schema/SchemaRecords.h"
#include "schema/SyntaxCatalogue.h"

namespace arbldap {
class LDAPConnection;
} // namespace arbldap


namespace platform {
class ResourceLibrary;
}

enum SchemaLoadState : int {
    kSchemaFetchInProgress = 0,
    kSchemaFetchFailed = 1,
    kSchemaDefaultUsed = 2,
    kSchemaLoaded = 3,
};

enum SchemaServerKind : int {
    kServerUnrecognized = 0,
    kServerUmich = 1,
    kServerOpenLDAP1 = 2,
    kServerOpenLDAP2 = 3,
    kServerNetscape = 4,
    kServerActiveDirectory = 5,
    kServerNovell = 6,
    kServerExchange = 7,
    kServerOracle = 8,
    kServerDomino = 9,
    kServerCriticalPath = 10,
    kServerSecureWay = 11,
    kServerVellumarInternal = 12,  // the built-in default schema
};

enum SchemaAttributeProperty : int {
    kAttributeObsolete = 0,
    kAttributeSingleValue = 1,
    kAttributeCollective = 2,
    kAttributeUserModifiable = 3,
};

// What the root DSE reported.
struct SchemaRootInfo {
    StringList supportedControls;
    StringList supportedExtensions;
    StringList saslMechanisms;
    StringList namingContexts;
    std::string subschemaDN;

    bool operator==(const SchemaRootInfo& o) const
    {
        return supportedControls == o.supportedControls && supportedExtensions == o.supportedExtensions &&
               saslMechanisms == o.saslMechanisms && namingContexts == o.namingContexts && subschemaDN == o.subschemaDN;
    }
};

// Name (any letter case) -> OID key of the record in its element map.
typedef std::map<std::string, std::string, NoCaseLess> SchemaNameIndex;

// One complete set of a schema's elements with its indices.
class CSchemaContent {
public:
    const SchemaObjectClassMap& GetObjectClasses() const { return m_objectClasses; }
    const SchemaAttributeTypeMap& GetAttributeTypes() const { return m_attributeTypes; }
    const SchemaMatchingRuleMap& GetMatchingRules() const { return m_matchingRules; }
    const SchemaMatchingRuleUseMap& GetMatchingRuleUses() const { return m_matchingRuleUses; }
    const SchemaSyntaxMap& GetSyntaxes() const { return m_syntaxes; }
    const SchemaRootInfo& GetRootInfo() const { return m_rootInfo; }
    const SchemaNameIndex& GetAttributeNameIndex() const { return m_attributeNames; }
    const SchemaNameIndex& GetClassNameIndex() const { return m_classNames; }

    // Writer side, before the content is published.
    SchemaObjectClassMap& ObjectClasses() { return m_objectClasses; }
    SchemaAttributeTypeMap& AttributeTypes() { return m_attributeTypes; }
    SchemaMatchingRuleMap& MatchingRules() { return m_matchingRules; }
    SchemaMatchingRuleUseMap& MatchingRuleUses() { return m_matchingRuleUses; }
    SchemaSyntaxMap& Syntaxes() { return m_syntaxes; }
    SchemaRootInfo& RootInfo() { return m_rootInfo; }

    // Parses one definition of the kind (every relaxation of the parser on)
    // and stores its record under its OID, replacing a record of that OID.
    // False, with nothing stored, when it does not parse or has no OID.
    bool AddDefinition(SchemaElementKind kind, const std::string& text);
    // AddDefinition for each line of a text (lines end with CR LF, LF or CR;
    // the last line needs no end; blank lines are passed over). The number
    // stored; skipped, when given, receives the number of lines refused.
    size_t AddDefinitionLines(SchemaElementKind kind, const std::string& text, size_t* skipped = nullptr);
    // AddDefinition for each text of a list, in order. The number stored;
    // failed, when given, receives the number refused.
    size_t AddDefinitions(SchemaElementKind kind, const StringList& texts, size_t* failed = nullptr);

    // Adds or replaces index entries for every name of every attribute type
    // and object class, in OID order (a later record wins a name); sets each
    // attribute type's human-readable flag from the syntax catalogue entry of
    // its effective syntax and, when it has no DESC, gives it the syntax's
    // name. Entries are never dropped.
    void BuildIndices();

    // Found by any of their names, ignoring ASCII case; null when not.
    const SchemaAttributeType* FindAttributeType(const std::string& name) const;
    const SchemaObjectClass* FindObjectClass(const std::string& name) const;
    // The type's SYNTAX or, when it has none, its superior's (by name or
    // OID), up the chain; empty when no type on it has one.
    std::string GetEffectiveSyntax(const SchemaAttributeType& type) const;
    // The same walk for the EQUALITY matching rule.
    std::string GetEffectiveEquality(const SchemaAttributeType& type) const;

private:
    // The first non-empty text that field gives along the superior chain.
    std::string FirstAlongSuperiors(const SchemaAttributeType& type,
                                    const std::string& (SchemaAttributeType::*field)() const) const;
    SchemaObjectClassMap m_objectClasses;
    SchemaAttributeTypeMap m_attributeTypes;
    SchemaMatchingRuleMap m_matchingRules;
    SchemaMatchingRuleUseMap m_matchingRuleUses;
    SchemaSyntaxMap m_syntaxes;
    SchemaRootInfo m_rootInfo;
    SchemaNameIndex m_attributeNames;
    SchemaNameIndex m_classNames;
};

class CLDAPSchema final : public IUnknown {
public:
    // Starts the loading job of a new host's schema. It gets its own
    // references; the schema already has its creator's when it is called.
    typedef std::function<void(const RefPtr<CLDAPSchema>& schema, const RefPtr<ISchemaHostStorage>& storage,
                               arbldap::LDAPConnection* connection)>
        LoadJobStarter;

    // The built-in default schema: the definitions of the resource library's
    // "TEXT" resources 655 (attribute types) and 654 (object classes), server
    // kind 12, loaded from the start, a storage of its own that is never
    // written.
    static RefPtr<CLDAPSchema> CreateBuiltIn();
    static RefPtr<CLDAPSchema> CreateBuiltIn(const platform::ResourceLibrary& resources);
    // A server's schema, fetch in progress, with its cache entry's storage.
    // The loading job is started once the caller holds its reference.
    static RefPtr<CLDAPSchema> CreateForHost(const RefPtr<ISchemaHostStorage>& storage, arbldap::LDAPConnection* connection);
    // The same without starting the job: the caller starts it (StartLoading)
    // once it has left its own locks, since the starter runs foreign code.
    static RefPtr<CLDAPSchema> CreateForHostDeferred(const RefPtr<ISchemaHostStorage>& storage);
    // Hands the schema to the load-job starter; only the first call does.
    static void StartLoading(const RefPtr<CLDAPSchema>& schema, arbldap::LDAPConnection* connection);
    // Set once the session layer can run the job; until then new schemas
    // stay at fetch in progress with nothing in them.
    static void SetLoadJobStarter(LoadJobStarter starter);

    // IUnknown only.
    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override { return m_refs.AddRef(); }
    uint32_t Release() override { return m_refs.Release(this); }

    // SchemaLoadState. A filler that ends with content publishes the state
    // with it (Publish below) rather than setting it first; SetLoadState is
    // for outcomes without content, such as a failed fetch.
    int GetLoadState() const { return m_loadState.load(std::memory_order_acquire); }
    void SetLoadState(int state) { m_loadState.store(state, std::memory_order_release); }

    // The published content; never null, never changed.
    std::shared_ptr<const CSchemaContent> GetContent() const;
    // A copy of the published content for a filler to add to.
    std::unique_ptr<CSchemaContent> CopyContent() const;
    // Builds the content's indices and makes it the published one.
    void Publish(std::unique_ptr<CSchemaContent> content);
    // The same, and the load state with it: a reader that sees the state
    // sees this content or a later one.
    void Publish(std::unique_ptr<CSchemaContent> content, int loadState);

    // Parses the built-in texts into a copy of the content, publishes it and
    // sets the load state to loaded.
    void LoadDefaultSchema();
    void LoadDefaultSchema(const platform::ResourceLibrary& resources);

    ISchemaHostStorage* GetStorage() const { return m_storage.get(); }

    int GetServerKind() const;
    std::string GetServerKindName() const;
    static std::string ServerKindName(int kind);
    // Asks for a fresh fetch at the next load.
    void MarkDirty();
    bool IsDirty() const;
    int64_t GetTimestamp() const;
    GUID GetHostGuid() const;

    // Attribute syntaxes are the effective ones: a type without SYNTAX has
    // its superior's (cn has name's).
    // True only for a known attribute whose syntax the catalogue lists as binary.
    bool IsBinaryAttribute(const std::string& name) const;
    // The catalogue entry of the attribute's syntax, or null.
    const SyntaxInfo* GetAttributeSyntaxInfo(const std::string& name) const;
    // Empty when unknown.
    std::string GetAttributeSyntaxName(const std::string& name) const;
    // The syntax OID without length; empty when unknown.
    std::string GetAttributeSyntax(const std::string& name) const;
    // -1 when the attribute is unknown.
    int GetAttributeUsage(const std::string& name) const;
    // Whether single values of the attribute can be named in a change (it
    // has an equality matching rule, maybe through its superior). True for
    // an attribute the schema does not know.
    bool HasEqualityMatch(const std::string& name) const;
    // An unknown attribute: false, but user-modifiable. A selector outside
    // SchemaAttributeProperty: false.
    bool QueryAttributeProperty(const std::string& name, int property) const;
    bool IsObsolete(const std::string& name) const { return QueryAttributeProperty(name, kAttributeObsolete); }
    bool IsSingleValued(const std::string& name) const { return QueryAttributeProperty(name, kAttributeSingleValue); }
    bool IsCollective(const std::string& name) const { return QueryAttributeProperty(name, kAttributeCollective); }
    bool IsUserModifiable(const std::string& name) const
    {
        return QueryAttributeProperty(name, kAttributeUserModifiable);
    }
    // Whether some listed class (found ignoring case) has the attribute under
    // MUST; the attribute name itself is compared exactly.
    bool IsMustAttribute(const std::string& attribute, const StringList& classes) const;
    // Appends the class's MUST and then its MAY names; nothing for an unknown class.
    void GetClassAttributes(const std::string& objectClass, StringList& out) const;
    // Every attribute of the listed classes, sorted, without duplicates.
    void GetAttributesOfClasses(const StringList& classes, StringList& out) const;
    SchemaUsageMap GetUsageStatistics() const;
    // One more use of each listed class.
    void AddClassUsage(const StringList& classes);

private:
    explicit CLDAPSchema(RefPtr<ISchemaHostStorage> storage);
    ~CLDAPSchema();

    static void StartLoadJob(const RefPtr<CLDAPSchema>& schema, arbldap::LDAPConnection* connection);
    SchemaMetaRecord Meta() const;

    friend class CRefCount;  // deletes the object at its last Release
    CRefCount m_refs;
    std::atomic<int> m_loadState{kSchemaFetchInProgress};
    std::atomic<bool> m_loadStarted{false};
    RefPtr<ISchemaHostStorage> m_storage;
    mutable std::mutex m_contentLock;
    std::shared_ptr<const CSchemaContent> m_content;
};
