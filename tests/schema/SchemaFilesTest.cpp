#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"
#include "tests/schema/SubschemaRoundTrip.h"
#include "tests/support/SchemaFiles.h"

namespace {

using schematest::Kind;
using testsupport::SubschemaDefinitions;

const SubschemaDefinitions& Standard()
{
    static const SubschemaDefinitions defs = testsupport::StandardSchemaFileDefinitions();
    return defs;
}

TEST(SchemaFiles, ReaderJoinsContinuationsAndDropsComments)
{
    char path[] = "/tmp/arbschemaXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream out(path, std::ios::binary);
        out << "# comment\n"
               "attributetype ( 1.2 NAME 'a'\n"
               "\tDESC 'd'\r\n"
               "# attributetype ( 9.9 NAME 'commented' )\n"
               "\n"
               "    SUP name )\n"
               "objectclass ( 1.3 NAME 'o' )\n"
               "ObjectClass\t( 1.4\n"
               "  MUST cn )\n"
               "include other.schema\n";
    }
    SubschemaDefinitions defs;
    testsupport::ReadSchemaFile(path, defs);
    std::remove(path);
    EXPECT_EQ(defs.attributeTypes, (std::vector<std::string>{"( 1.2 NAME 'a' DESC 'd' SUP name )"}));
    EXPECT_EQ(defs.objectClasses, (std::vector<std::string>{"( 1.3 NAME 'o' )", "( 1.4 MUST cn )"}));
    EXPECT_EQ(defs.origin, path);
    EXPECT_THROW(testsupport::ReadSchemaFile("/nonexistent/x.schema", defs), std::runtime_error);
}

TEST(SchemaFiles, StandardFilesHoldTheirDefinitions)
{
    // core 79, cosine 54, inetorgperson 10, nis 38 keyword lines.
    EXPECT_EQ(Standard().attributeTypes.size(), 127u);
    EXPECT_EQ(Standard().objectClasses.size(), 54u);
}

TEST(SubschemaRoundTrip, StandardSchemaFiles)
{
    schematest::ExpectSubschemaRoundTrips(Standard());
}

TEST(SubschemaRoundTrip, StandardSchemaFilesAgreeWithTheClientLibrary)
{
    schematest::ExpectAgreementWithClientLibrary(Standard());
}

} // namespace
