#include "model/entries/TeamDirectory.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/entries/CBinAttrObject.h"
#include "model/entries/CServerObject.h"
#include "model/entries/CTeamMemberObject.h"
#include "model/nodes/ListSorting.h"
#include "platform/ControlPorts.h"
#include "platform/ResourceLibrary.h"
#include "schema/SchemaCache.h"

using namespace arbldap;

namespace {

const char* const kTeamName = "Tessaline Team";

struct Person {
    const char* uid;
    const char* cn;
    const char* givenName;
    const char* sn;
    const char* initials;
    const char* title;
    const char* description;
    const char* room;
    const char* telephone;
    const char* department;
    const char* businessCategory;
    const char* language;
    uint32_t photo;
    std::vector<std::pair<const char*, const char*>> more;
};

// The people of the demonstration directory (invented), in no particular
// order: the tree and the list sort them.
const std::vector<Person>& People()
{
    static const std::vector<Person> people = {
        {"lucia.ferrandi", "Lucia Ferrandi", "Lucia", "Ferrandi", "LF", "User Interface Designer",
         "Draws the windows, the icons and the toolbar pictures.", "B-118", "+49 30 5550 1207", "Design",
         "Design", "it, en", 3106,
         {{"labeleduri", "http://www.vellumar.example/team/ferrandi Portfolio"}}},
        {"ada.brennholt", "Ada Brennholt", "Ada", "Brennholt", "AB", "Lead Developer",
         "Looks after the directory model and the worker threads.", "B-214", "+49 30 5550 1201", "Development",
         "Engineering", "de, en", 3101,
         {{"mail", "a.brennholt@vellumar.example"},
          {"labeleduri", "http://www.vellumar.example/team/brennholt Home page"},
          {"homephone", "+49 30 5550 9811"}}},
        {"tomasz.rydel", "Tomasz Rydel", "Tomasz", "Rydel", "TR", "Technical Writer",
         "Writes the help pages and the release notes.", "A-022", "+49 30 5550 1205", "Documentation",
         "Documentation", "pl, en", 0,
         {{"description", "Ask him for the style guide."}}},
        {"jonas.wetterling", "Jonas Wetterling", "Jonas", "Wetterling", "JW", "Directory Services Engineer",
         "Knows every server the program talks to.", "B-216", "+49 30 5550 1202", "Development", "Engineering",
         "de, sv, en", 3102,
         {{"postaladdress", "Vellumar Software$Lindenhof 7$Berlin"}, {"postalcode", "10117"}}},
        {"ingrid.solvang", "Ingrid Solvang", "Ingrid", "Solvang", "IS", "Product Manager",
         "Decides what goes into the next release.", "C-301", "+49 30 5550 1204", "Product", "Management",
         "no, de, en", 3104, {{"organizationalStatus", "permanent"}}},
        {"pieter.vanoost", "Pieter van Oost", "Pieter", "van Oost", "PvO", "Release Engineer",
         "Builds, signs and ships every version.", "A-025", "+49 30 5550 1208", "Development", "Engineering",
         "nl, en", 0,
         {{"userpassword", "{SHA}3htDIZk8PX3ix/sYJw5v85AtO9s="}, {"organizationalStatus", "contractor"}}},
        {"mirela.costache", "Mirela Costache", "Mirela", "Costache", "MC", "Quality Assurance Engineer",
         "Finds the faults before the users do.", "B-220", "+49 30 5550 1203", "Quality", "Engineering",
         "ro, fr, en", 3103, {}},
        {"karim.haddou", "Karim Haddou", "Karim", "Haddou", "KH", "Support Engineer",
         "Answers the questions of the users.", "A-011", "+49 30 5550 1206", "Support", "Support",
         "fr, ar, en", 3105, {{"mail", "support@vellumar.example"}}},
    };
    return people;
}

std::string MailOf(const char* uid)
{
    return std::string(uid) + "@vellumar.example";
}

}  // namespace

TeamEntryRecord::TeamEntryRecord(const LDAPDN& dn, const std::string& cn, const std::string& description,
                                 const std::string& mail, const std::string& sn, const std::string& uid,
                                 const std::string& initials, const std::string& businessCategory,
                                 const std::string& preferredLanguage)
    : m_dn(dn)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"cn", &cn},
        {"description", &description},
        {"mail", &mail},
        {"sn", &sn},
        {"uid", &uid},
        {"initials", &initials},
        {"businesscategory", &businessCategory},
        {"preferredlanguage", &preferredLanguage},
    };
    for (const auto& text : texts)
        if (!text.second->empty())
            m_attributes.AddValue(text.first, *text.second);
}

void AddTeamMember(const TeamEntryRecord& record, CServerObject& server)
{
    auto member = std::make_unique<CTeamMemberObject>(&server, record.GetDN());
    member->CreateAttributeNodes(record.GetAttributes(), false);
    LDAPAttributeList objectClass;
    objectClass.AddValue("objectclass", "inetOrgPerson");
    member->CreateAttributeNodes(objectClass, false);
    std::string photo;
    if (record.GetPhotoId() != 0 &&
        platform::ResourceLibrary::Current().LoadResource("JPEG", record.GetPhotoId(), photo))
        member->AddAttributeNode(std::make_unique<CBinAttrObject>(member.get(), "jpegphoto", photo), false);
    LDAPAttributeList operational;
    operational.AddValue("creatorsName", kTeamName);
    operational.AddValue("modifiersName", kTeamName);
    member->CreateAttributeNodes(operational, true);
    member->SetChildrenLoaded(true);

    CTeamMemberObject* node = member.release();  // the tree owns it from here
    node->InsertIntoViews(server.GetTreeItem(), kInsertTreeItem | kInsertListRow);
    if (!node->GetTreeItem()) {
        delete node;  // no tree took it
        return;
    }
    node->Expand(0);
}

void BuildTeamDirectory(CServerObject& server)
{
    server.SetBound(true);
    // Fetching the host's schema or children would go to the network: the
    // directory is complete as built.
    server.SetSchema(GetBuiltInSchema());
    server.SetChildrenLoaded(true);
    server.SetContentsFetched(true);
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return;
    {
        platform::ScopedUpdateLock lock(*tree);
        for (const Person& person : People()) {
            TeamEntryRecord record(LDAPDN(std::string("uid=") + person.uid), person.cn,
                                   person.description, MailOf(person.uid), person.sn, person.uid,
                                   person.initials, person.businessCategory, person.language);
            record.AddValue("givenname", person.givenName);
            record.AddValue("title", person.title);
            record.AddValue("roomnumber", person.room);
            record.AddValue("displayname", person.cn);
            record.AddValue("telephonenumber", person.telephone);
            record.AddValue("departmentnumber", person.department);
            for (const auto& value : person.more)
                record.AddValue(value.first, value.second);
            if (person.photo)
                record.SetPhotoId(person.photo);
            AddTeamMember(record, server);
        }
        SortTreeChildren(server.GetTreeItem());
    }
    SortRefilledList(1, true);
}
