#pragma once
// The bytes of a catalogue file as "Nový" writes it: no films, counter at 1.
inline constexpr const char* kEmptyCatalogue =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"K\" fieldtype=\"i4\" SUBTYPE=\"Autoinc\"/>"
    "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"S2\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"S3\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"S4\" fieldtype=\"string\" WIDTH=\"2\"/>"
    "<FIELD attrname=\"S5\" fieldtype=\"string\" WIDTH=\"11\"/>"
    "<FIELD attrname=\"S6\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"S7\" fieldtype=\"string\" WIDTH=\"100\"/>"
    "</FIELDS><PARAMS AUTOINCVALUE=\"1\"/></METADATA><ROWDATA></ROWDATA></DATAPACKET>";
