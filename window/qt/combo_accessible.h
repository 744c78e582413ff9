#pragma once

// Makes screen readers name the window's drop-downs (the pattern box and
// the drive list) by their accessible names, like every other control,
// with the entry shown as their value and their text. Qt's own description names a drop-down by
// its text, so "*.DAT" or "/" would be read where "Lista arquivos do tipo"
// or "Drives" belongs. Installed once; later calls do nothing.
void NameDropDownsByTheirLabels();
