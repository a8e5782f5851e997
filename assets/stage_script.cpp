// The stage script parser: rows of space-separated numbers into the StageEntry
// list, in file order, up to and including the end row. The text is split in
// place; lines that hold no column are skipped rather than read as rows.

#include "assets/stage_script.h"

#include <cstdlib>

StageEntry *g_stage_head = nullptr;

static const int COLUMNS = 12;

static bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

// Cuts the next line off the text and returns where the one after it starts.
static char *cut_line(char *line) {
    char *p = line;
    while (*p && !is_line_end(*p))
        p++;
    while (is_line_end(*p))
        *p++ = 0;
    return p;
}

// Splits a line at runs of spaces (tabs stay inside a column) and returns how
// many columns it found, at most max.
static int split_columns(char *line, char **columns, int max) {
    int count = 0;
    char *p = line;
    while (count < max) {
        while (*p == ' ')
            p++;
        if (!*p)
            break;
        columns[count++] = p;
        while (*p && *p != ' ')
            p++;
        if (*p)
            *p++ = 0;
    }
    return count;
}

static float column_float(char **columns, int count, int index) {
    return index < count ? float(std::strtod(columns[index], nullptr)) : 0.0f;
}

void stage_script_parse(char *text) {
    g_stage_head = nullptr;
    StageEntry **link = &g_stage_head;
    char *line = text;
    while (line && *line) {
        char *next = cut_line(line);
        char *columns[COLUMNS];
        int count = split_columns(line, columns, COLUMNS);
        line = next;
        if (count == 0)
            continue;
        StageEntry *entry = static_cast<StageEntry *>(std::calloc(1, sizeof(StageEntry)));
        if (!entry)
            return;
        *link = entry;
        entry->trigger = column_float(columns, count, 0);
        entry->fire_distance = column_float(columns, count, 1);
        if (entry->fire_distance == -1.0f)
            return;
        for (int i = 0; i < 3; i++) {
            entry->offset[i] = column_float(columns, count, 2 + i);
            entry->vel[i] = column_float(columns, count, 5 + i);
            entry->acc[i] = column_float(columns, count, 8 + i);
        }
        entry->kind = count > 11 ? int(std::strtol(columns[11], nullptr, 10)) : 0;
        link = &entry->next;
    }
}
