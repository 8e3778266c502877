// Holds the C# code of a Markdown document against the sources it is taken from:
//
//   mono DocsExcerpts.exe DOCUMENT SOURCE_FOLDER
//
// Every ```csharp block of the document must be an excerpt of one of the folder's .cs files:
// its lines, each without trailing blanks, one run after another in that file, where a line
// "// ..." between two runs stands for lines left out. A declaration changed in the sources
// and not in the document (or the reverse) fails. Exit code 1 names each block that is not an
// excerpt.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;

namespace Tavolex.Tests {

static class DocsExcerpts {
  const string Gap = "// ...";

  static int Main(string[] args) {
    if (args.Length != 2) {
      Console.Error.WriteLine("usage: DocsExcerpts DOCUMENT SOURCE_FOLDER");
      return 2;
    }
    var sources = Directory.GetFiles(args[1], "*.cs").OrderBy(f => f, StringComparer.Ordinal)
                      .ToDictionary(f => Path.GetFileName(f), f => Lines(File.ReadAllLines(f)));
    List<List<string>> blocks = CSharpBlocks(File.ReadAllLines(args[0]));
    int failed = 0;
    for (int b = 0; b < blocks.Count; b++) {
      string source = sources.Keys.FirstOrDefault(name => IsExcerpt(blocks[b], sources[name]));
      if (source != null) {
        Console.WriteLine("block {0}: from {1}", b + 1, source);
      } else {
        Console.WriteLine("block {0} is in none of the sources; it begins:", b + 1);
        foreach (string line in blocks[b].Take(3)) Console.WriteLine("  " + line);
        failed++;
      }
    }
    if (blocks.Count == 0) {
      Console.WriteLine("the document has no C# block");
      failed++;
    }
    return failed == 0 ? 0 : 1;
  }

  static List<string> Lines(IEnumerable<string> lines) {
    return lines.Select(line => line.TrimEnd()).ToList();
  }

  static List<List<string>> CSharpBlocks(string[] document) {
    var blocks = new List<List<string>>();
    List<string> block = null;
    foreach (string line in Lines(document)) {
      if (block == null && line == "```csharp") {
        block = new List<string>();
      } else if (block != null && line == "```") {
        blocks.Add(block);
        block = null;
      } else if (block != null) {
        block.Add(line);
      }
    }
    return blocks;
  }

  // Each run of the block between gaps, found in the source after the run before it.
  static bool IsExcerpt(List<string> block, List<string> source) {
    int from = 0;
    var run = new List<string>();
    foreach (string line in block.Concat(new[] { Gap })) {
      if (line.Trim() != Gap) {
        run.Add(line);
        continue;
      }
      if (run.Count == 0) continue;
      int at = Find(source, run, from);
      if (at < 0) return false;
      from = at + run.Count;
      run.Clear();
    }
    return true;
  }

  static int Find(List<string> source, List<string> run, int from) {
    for (int at = from; at + run.Count <= source.Count; at++) {
      bool match = true;
      for (int i = 0; i < run.Count && match; i++) match = source[at + i] == run[i];
      if (match) return at;
    }
    return -1;
  }
}

}  // namespace Tavolex.Tests
