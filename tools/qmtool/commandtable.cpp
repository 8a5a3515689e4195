#include "commandtable.h"

#include "cmd_hues.h"
#include "cmd_images.h"

#include "itemkind.h"
#include "tilefields.h"

using namespace qm;

namespace {

const QString kKind = QStringLiteral("land, static, gump or texture (or 0 to 3)");
const QString kId = QStringLiteral("decimal, or hexadecimal after 0x");

// "name, flags, texid": the fields of a kind's tile record as qmtool names them.
QString tileFieldNames(ItemKind kind)
{
    QStringList names { QStringLiteral("name") };
    for (const TileField* f : tileFieldsOf(kind))
        names << QLatin1String(f->name);
    return names.join(QStringLiteral(", "));
}

QVector<ToolCommandEntry> buildCommands()
{
    const ToolArgument kind { QStringLiteral("KIND"), kKind };
    const ToolArgument id { QStringLiteral("ID"), kId };
    const ToolArgument tileKind { QStringLiteral("KIND"), QStringLiteral("land or static (or 0, 1)") };
    const ToolArgument assignments { QStringLiteral("FIELD=VALUE..."), QStringLiteral("the fields to change") };
    const QString tileFields = QStringLiteral("land %1; static %2").arg(tileFieldNames(Land), tileFieldNames(Static));
    return {
        { QStringLiteral("list"), QStringLiteral("list KIND"), QStringLiteral("ids with data, ascending"),
          QStringLiteral("Prints the ids that have data, ascending, one per line as the editor's lists show "
                         "them (0x1a)."),
          { kind }, {}, 1, 1, cmdList },
        { QStringLiteral("free"), QStringLiteral("free KIND"), QStringLiteral("free ids, ascending"),
          QStringLiteral("Prints the free ids (empty index records), ascending, one per line (0x1a). New "
                         "entries take the smallest."),
          { kind }, {}, 1, 1, cmdFree },
        { QStringLiteral("export-image"), QStringLiteral("export-image KIND ID OUT [--hue N [--partial|--full]]"),
          QStringLiteral("decoded image, format by OUT's extension"),
          QStringLiteral("Writes the item's decoded image to OUT, in the format its extension names (png, bmp, "
                         "tiff, ...). With --hue N the picture is hued as the game draws it: fully, or only its "
                         "grey pixels (partially); without --partial or --full a static with the Partial Hue "
                         "flag is hued partially and everything else fully. --hue 0 is the stored picture. Exit "
                         "code 2 when the entry has no image or the hue is not in hues.mul."),
          { kind, id, { QStringLiteral("OUT"), QStringLiteral("the picture file to write") } },
          { { QStringLiteral("hue"), QStringLiteral("N"),
              QStringLiteral("the hue to draw the picture with (1 to the count of hues.mul; 0: none)") },
            { QStringLiteral("partial"), QString(), QStringLiteral("hue only the grey pixels") },
            { QStringLiteral("full"), QString(), QStringLiteral("hue every pixel") } },
          3, 3, cmdExportImage },
        { QStringLiteral("tile"), QStringLiteral("tile land|static ID"), QStringLiteral("tile data as JSON"),
          QStringLiteral("Prints the tile data of a land or static tile as one JSON object: %1. flags comes "
                         "first, as an exact unsigned integer of all its bits (32 in a classic tiledata.mul, 64 "
                         "in a wide one); a reader that keeps JSON numbers as doubles loses bits past 2^53, so "
                         "read it as a 64-bit integer.")
              .arg(tileFields),
          { tileKind, id }, {}, 2, 2, cmdTile },
        { QStringLiteral("anim"), QStringLiteral("anim ID"), QStringLiteral("animation data as JSON"),
          QStringLiteral("Prints the animation data of a static tile as one JSON object: frames (64 signed "
                         "offsets), frameUnknown, frameCount, frameInterval and frameStart (intervals in steps "
                         "of 50 ms)."),
          { { QStringLiteral("ID"), QStringLiteral("a static id, ") + kId } }, {}, 1, 1, cmdAnim },
        { QStringLiteral("hues"), QStringLiteral("hues"), QStringLiteral("every hue: number and name"),
          QStringLiteral("Prints every hue of hues.mul, one line each: its number (decimal, from 1), a tab and "
                         "its name (a control character in it as \\xNN, so that each hue keeps one line; 'qmtool hue N' "
                         "gives the name exactly). A damaged hues.mul (size not a multiple of 708) shows the hues of its whole "
                         "groups, with a warning; exit code 2 when hues.mul is missing."),
          {}, {}, 0, 0, cmdHues },
        { QStringLiteral("hue"), QStringLiteral("hue N"), QStringLiteral("one hue as JSON"),
          QStringLiteral("Prints hue N of hues.mul as one JSON object: name, colors (32 colours, darkest first, "
                         "as 0x hexadecimal strings of the 16-bit values), tableStart and tableEnd. Exit code 2 "
                         "when N is not a hue of the file (hues are numbered from 1)."),
          { { QStringLiteral("N"), QStringLiteral("a hue number, ") + kId } }, {}, 1, 1, cmdHue },
        { QStringLiteral("set-hue"), QStringLiteral("set-hue N FIELD=VALUE..."), QStringLiteral("edit a hue and save"),
          QStringLiteral("Changes hue N of hues.mul and saves it in place (the file keeps its size and every "
                         "other byte). Fields, any of them: name=TEXT (at most 20 Latin-1 characters), "
                         "colors=c0,...,c31 (all 32 colours, darkest first, each at most 0x7FFF), tableStart=N "
                         "and tableEnd=N (0 to 65535); numbers decimal or hexadecimal after 0x. A bad value is "
                         "refused naming the field, and nothing is changed."),
          { { QStringLiteral("N"), QStringLiteral("a hue number, ") + kId }, assignments }, {}, 2, -1,
          cmdSetHue },
        { QStringLiteral("verify"), QStringLiteral("verify"), QStringLiteral("decode every entry, report problems"),
          QStringLiteral("Decodes every listed entry of the four catalogues and checks that its record "
                         "lies inside its data file and fits its index length; checks that every file "
                         "the editor reads is there, readable and of a size its layout allows (hues.mul may be "
                         "missing, but not damaged). Prints "
                         "the first problems of each file, one per line, and counts the rest; exit "
                         "code 0 when there is none, else 2."),
          {}, {}, 0, 0, cmdVerify },
        { QStringLiteral("dir"), QStringLiteral("dir [PATH]"), QStringLiteral("show or set the editor's data directory"),
          QStringLiteral("Without PATH, prints the data directory the editor uses (--dir overrides it for this "
                         "run), with exit code 2 when it does not exist. With PATH, stores that existing directory as the "
                         "editor's data directory (a missing one is refused)."),
          { { QStringLiteral("PATH"), QStringLiteral("the game's data directory to store") } }, {}, 0, 1, cmdDir,
          false },
        { QStringLiteral("info"), QStringLiteral("info"), QStringLiteral("forms of the files and entry counts"),
          QStringLiteral("Prints which form each catalogue is kept in (a package or the classic index and data "
                         "pair for art and gumps), its entry count and why it is read-only where it is, the "
                         "tile data layout (classic, wide or unknown) and the count of hues. Exit code 0 whatever "
                         "it finds in the directory; 2 when the directory itself is missing."),
          {}, {}, 0, 0, cmdInfo },
        { QStringLiteral("convert"), QStringLiteral("convert art|gump package|mul"),
          QStringLiteral("rewrite a catalogue into the other form"),
          QStringLiteral("Rewrites the art or gump catalogue into a package (artLegacyMUL.uop, "
                         "gumpartLegacyMUL.uop) or into the classic .mul pair, in one crash-safe save; afterwards "
                         "only the new form's files exist for it and every id keeps its record bytes. Converting "
                         "to the form in use changes nothing. Refused (exit 2, nothing changed) for a damaged "
                         "catalogue, package entries that name no id (to mul) and gump ids past 65535 (to "
                         "package)."),
          { { QStringLiteral("CATALOGUE"), QStringLiteral("art or gump") },
            { QStringLiteral("FORM"), QStringLiteral("package or mul") } }, {}, 2, 2, cmdConvert },
        { QStringLiteral("make-demo"), QStringLiteral("make-demo DIR [--full] [--packages] [--wide] [--long-runs] [--overwrite]"),
          QStringLiteral("write a demo data directory"),
          QStringLiteral("Writes a complete demo data directory drawn by this program: land tiles, statics "
                         "(some animated), gumps, textures, tile data, animation data and 3,000 hues, with a grey "
                         "static, a partly grey static and a grey gump to try hues on. The same bytes on every "
                         "run."),
          { { QStringLiteral("DIR"), QStringLiteral("the directory to write (created if needed)") } },
          { { QStringLiteral("full"), QString(),
              QStringLiteral("Realistic sizes for benchmarks: about 80 MB of art, 100 MB of gumps, 20 MB of "
                             "textures.") },
            { QStringLiteral("packages"), QString(),
              QStringLiteral("Keep art and gumps in package files instead of their .mul pairs.") },
            { QStringLiteral("wide"), QString(),
              QStringLiteral("tiledata.mul in the wide layout (64-bit flags), some statics with flag bits "
                             "past the low 32 set.") },
            { QStringLiteral("long-runs"), QString(),
              QStringLiteral("Gumps drawn as flat shapes in transparent margins, whose runs average about 15 "
                             "pixels as real interface art does, instead of textured pictures.") },
            { QStringLiteral("overwrite"), QString(),
              QStringLiteral("Replace data files already in DIR (never point this at a real game "
                             "directory).") } },
          1, 1, cmdMakeDemo, false },
        { QStringLiteral("import-image"), QStringLiteral("import-image KIND ID FILE"),
          QStringLiteral("replace an image and save"),
          QStringLiteral("Replaces the image of an item by a picture file and saves. The picture is brought to "
                         "the item's kind as the editor's image page does: land tiles smooth-scaled to 44x44 "
                         "and masked to the diamond, textures to 64x64 or 128x128, statics and gumps kept at "
                         "their size. A free id gets a new entry."),
          { kind, id, { QStringLiteral("FILE"), QStringLiteral("the picture file to read") } }, {}, 3, 3,
          cmdImportImage },
        { QStringLiteral("delete"), QStringLiteral("delete KIND ID..."), QStringLiteral("delete entries and save"),
          QStringLiteral("Deletes entries and saves: their index records become empty and their data is "
                         "dropped."),
          { kind, { QStringLiteral("ID..."), QStringLiteral("the ids to delete, ") + kId } }, {}, 2, -1,
          cmdDelete },
        { QStringLiteral("set-tile"), QStringLiteral("set-tile land|static ID FIELD=VALUE..."),
          QStringLiteral("edit tile data and save"),
          QStringLiteral("Edits the tile data of a land or static tile and saves. Fields as 'qmtool tile' names "
                         "them: %1. Numbers are decimal or hexadecimal after 0x; name=TEXT takes at most 20 "
                         "Latin-1 characters. flags=VALUE replaces all the flag bits and takes up to 32 bits "
                         "in a classic tiledata.mul, up to 64 in a wide one; a wider value is refused and "
                         "nothing changes. Fields not named keep their values.")
              .arg(tileFields),
          { tileKind, id, assignments }, {}, 3, -1, cmdSetTile },
        { QStringLiteral("set-anim"), QStringLiteral("set-anim ID FIELD=VALUE... [frames=v0,v1,...]"),
          QStringLiteral("edit animation data and save"),
          QStringLiteral("Edits the animation data of a static tile and saves. Fields: frameUnknown, frameCount, "
                         "frameInterval, frameStart (or unknown, count, interval, start) and frames=v0,v1,... "
                         "which sets the first frames and keeps the others. Values are -128 to 255, decimal or "
                         "hexadecimal after 0x."),
          { { QStringLiteral("ID"), QStringLiteral("a static id, ") + kId }, assignments }, {}, 2, -1,
          cmdSetAnim },
        { QStringLiteral("save"), QStringLiteral("save"), QStringLiteral("rewrite the data files (compacts them)"),
          QStringLiteral("Rewrites the data files without edits: drops the space of deleted and replaced "
                         "entries. Files already compact are left alone."),
          {}, {}, 0, 0, cmdSave },
        { QStringLiteral("export-patch"), QStringLiteral("export-patch KIND ID OUT"),
          QStringLiteral("write one item to a patch file"),
          QStringLiteral("Writes one item (its image, and its tile and animation data where the kind has them) "
                         "to the patch file OUT, exactly as named."),
          { kind, id, { QStringLiteral("OUT"), QStringLiteral("the patch file to write") } }, {}, 3, 3,
          cmdExportPatch },
        { QStringLiteral("import-patch"), QStringLiteral("import-patch FILE [--id ID|--id auto]"),
          QStringLiteral("import a patch file and save"),
          QStringLiteral("Imports a patch file under the patch's own id, a chosen id, or the smallest free id "
                         "(auto), then saves. A broken or unsuitable patch changes nothing (exit 2)."),
          { { QStringLiteral("FILE"), QStringLiteral("the patch file to read") } },
          { { QStringLiteral("id"), QStringLiteral("ID"),
              QStringLiteral("The id to import under, or 'auto' for the smallest free id (default: the "
                             "patch's id).") } },
          1, 1, cmdImportPatch },
        { QStringLiteral("diff"), QStringLiteral("diff OTHERDIR [KIND...] [--json] [--exit-code]"),
          QStringLiteral("what differs from another data directory, item by item"),
          QStringLiteral("Compares the data directory with OTHERDIR, which is only read, and prints one line per "
                         "difference: KIND 0xID WHAT, where WHAT is only-here, only-there, picture, tile "
                         "FIELD,FIELD... (the tile fields that differ), anim, or unreadable here|there: REASON. An "
                         "item that differs in several parts gets one line per part. Pictures are compared by "
                         "their decoded pixels, so the same picture in a package and in a .mul pair, or in "
                         "another encoding, is equal; tile records field by field; animation records byte for "
                         "byte. A count per catalogue follows; warnings about damaged files go to stderr. Exit "
                         "code 0 whether or not there are differences (3 with --exit-code when there are), 2 "
                         "when OTHERDIR is missing or is the data directory itself."),
          { { QStringLiteral("OTHERDIR"), QStringLiteral("the data directory to compare with (never written)") },
            { QStringLiteral("KIND..."), QStringLiteral("only these catalogues: ") + kKind + QStringLiteral("; tile "
                                             "data goes with land and static, animation data with static") } },
          { { QStringLiteral("json"), QString(),
              QStringLiteral("Print one JSON object: differences (kind, id, what, and fields or side and reason) "
                             "and counts per catalogue.") },
            { QStringLiteral("exit-code"), QString(), QStringLiteral("Exit with code 3 when anything differs.") } },
          1, -1, cmdDiff },
        { QStringLiteral("take"), QStringLiteral("take OTHERDIR KIND ID... [--what picture,tile,anim]"),
          QStringLiteral("take items from another data directory and save"),
          QStringLiteral("Takes the items ID... of KIND from OTHERDIR, which is only read, and saves: their "
                         "pictures, and their tile and animation data where the kind has them (or only the parts "
                         "named by --what). A picture OTHERDIR lacks empties the item here; an id free here "
                         "becomes a new entry. All or nothing: when any item is refused (a read-only catalogue, "
                         "an item OTHERDIR cannot read) no file is changed (exit 2)."),
          { { QStringLiteral("OTHERDIR"), QStringLiteral("the data directory to take from (never written)") },
            kind,
            { QStringLiteral("ID..."), QStringLiteral("the items to take, ") + kId } },
          { { QStringLiteral("what"), QStringLiteral("PARTS"),
              QStringLiteral("the parts to take, comma separated: picture, tile, anim or all (default: all)") } },
          3, -1, cmdTake },
        { QStringLiteral("export-images"), QStringLiteral("export-images KIND DIR [--ids RANGE] [--keep-existing]"),
          QStringLiteral("pictures into a folder, one PNG per item"),
          QStringLiteral("Writes the picture of every item of KIND (or of those in RANGE) into the folder DIR, "
                         "created if needed, one PNG per item named like static-0x1a2b.png. Files of those "
                         "names are replaced; no other file in DIR is touched. Empty items are skipped."),
          { kind, { QStringLiteral("DIR"), QStringLiteral("the folder to write into") } },
          { { QStringLiteral("ids"), QStringLiteral("RANGE"),
              QStringLiteral("only ids in RANGE: 0x100-0x1ff, 256-511 or one id") },
            { QStringLiteral("keep-existing"), QString(), QStringLiteral("leave files already in DIR as they are") } },
          2, 2, cmdExportImages },
        { QStringLiteral("import-images"), QStringLiteral("import-images KIND DIR"),
          QStringLiteral("replace pictures from a folder of kind-0xID.png files and save"),
          QStringLiteral("Replaces the pictures of the items of KIND named by the files in DIR "
                         "(static-0x1a2b.png and the like; other files are ignored) and saves. Each picture "
                         "is brought to the kind as import-image does. If any file is refused, all refusals "
                         "are listed and no file is changed."),
          { kind, { QStringLiteral("DIR"), QStringLiteral("the folder to read") } }, {}, 2, 2, cmdImportImages },
    };
}

} // namespace

const QVector<ToolCommandEntry>& toolCommands()
{
    static const QVector<ToolCommandEntry> commands = buildCommands();
    return commands;
}

const ToolCommandEntry* findToolCommand(const QString& name)
{
    for (const ToolCommandEntry& c : toolCommands())
        if (c.name == name)
            return &c;
    return nullptr;
}
