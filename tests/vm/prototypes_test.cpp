// Reading the prototypes of Sys10.c and the files it includes.
#include <gtest/gtest.h>

#include "vm/host_prototypes.h"

namespace stackvm {
namespace {

struct ProtoCase {
  const char* name;
  const char* text;
  const char* routine;
  std::vector<uint32_t> params;
  uint32_t result;
  const char* where;
};

class Prototypes_ : public ::testing::TestWithParam<ProtoCase> {};

TEST_P(Prototypes_, GiveWidths) {
  const ProtoCase& c = GetParam();
  FileReader none = [](const std::string&) { return std::optional<std::string>(); };
  Prototypes found = readPrototypes(c.text, "Sys10.c", "", none);
  auto it = found.find(c.routine);
  ASSERT_NE(it, found.end()) << c.text;
  EXPECT_EQ(it->second.params, c.params);
  EXPECT_EQ(it->second.result, c.result);
  EXPECT_EQ(it->second.where, c.where);
}

INSTANTIATE_TEST_SUITE_P(
    Sys10, Prototypes_,
    ::testing::Values(
        ProtoCase{"scalars", "long mix(char a, int b, long c);", "mix", {1, 4, 8}, 8, "Sys10.c:1"},
        ProtoCase{"pointers",
                  "char *name(int *p, char *q, struct s *r);",
                  "name",
                  {4, 4, 4},
                  4,
                  "Sys10.c:1"},
        ProtoCase{
            "unnamed_and_arrays", "void put(int, char buf[]);", "put", {4, 4}, 0, "Sys10.c:1"},
        ProtoCase{"void_list", "int ready(void);", "ready", {}, 4, "Sys10.c:1"},
        ProtoCase{"empty_list", "\n\nint ready();", "ready", {}, 4, "Sys10.c:3"},
        ProtoCase{"public_extern", "public extern int io(int port);", "io", {4}, 4, "Sys10.c:1"},
        ProtoCase{"across_lines", "int io(int port,\n  int value);", "io", {4, 4}, 4, "Sys10.c:1"},
        ProtoCase{"after_comments",
                  "/* int io(char c); */ // int io(long x);\nint io(int p);",
                  "io",
                  {4},
                  4,
                  "Sys10.c:2"},
        ProtoCase{"after_define_and_body",
                  "#define X 1\nint k = 3; void f(void) { k = 2; } int io(int p);",
                  "io",
                  {4},
                  4,
                  "Sys10.c:2"},
        ProtoCase{
            "structure_value_marked", "void show(struct point p);", "show", {0}, 0, "Sys10.c:1"}),
    [](const ::testing::TestParamInfo<ProtoCase>& info) { return std::string(info.param.name); });

TEST(Prototypes, NotPrototypes) {
  FileReader none = [](const std::string&) { return std::optional<std::string>(); };
  Prototypes found = readPrototypes(
      "int x;\nint (y);\nint f(int a) int g;\nstruct s { int a; };\nf(int a);\n"
      "struct s make(int a);\nint h(int a, void);\n",
      "Sys10.c", "", none);
  EXPECT_TRUE(found.empty());
}

TEST(Prototypes, IncludesAreFollowedOnceAndBeside) {
  int reads = 0;
  FileReader reader = [&](const std::string& path) -> std::optional<std::string> {
    ++reads;
    if (path == "dir/a.h") return "#include \"a.h\"\n#include \"b.h\"\nint fa(int x);\n";
    if (path == "dir/b.h") return "#include \"a.h\"\nint fb(char c);\n";
    return std::nullopt;
  };
  Prototypes found =
      readPrototypes("#include \"a.h\"\n#include \"missing.h\"\n", "Sys10.c", "dir/", reader);
  EXPECT_EQ(found.count("fa"), 1u);
  EXPECT_EQ(found.at("fb").where, "b.h:2");
  EXPECT_EQ(reads, 3);
}

TEST(Prototypes, VariadicIsMarked) {
  FileReader none = [](const std::string&) { return std::optional<std::string>(); };
  Prototypes found = readPrototypes("int log(int n, ...);", "Sys10.c", "", none);
  EXPECT_TRUE(found.at("log").variadic);
}

}  // namespace
}  // namespace stackvm
