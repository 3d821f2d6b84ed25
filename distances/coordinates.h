#pragma once
// A loft's or a race point's latitude and longitude, read from the forms
// clubs write them in and shown back in one form.
//
// Read: decimal degrees (51.4778, -0.0015), degrees and decimal minutes
// (51 28.668N, N 51° 28.668'), degrees, minutes and seconds (51:28:40.1N,
// 51°28'40.1"N, 0°0'5.3"W), with N, S, E or W before or after, or a minus
// sign; a decimal comma where it cannot be taken for anything else (one
// comma, no dot).
//
// Held exactly, in nano-arcseconds: each of these forms converts without
// rounding, as long as it has no more than 9 decimal places of seconds (10
// of minutes, 11 of degrees); further places, finer than a millionth of a
// millimetre on the ground, are rounded.
//
// Shown as degrees, minutes and seconds, the form every reading converts to
// exactly: 51°28'40.08"N, 0°00'05.3"W.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace pellamy {

enum class Axis { Latitude, Longitude };

struct CoordinateReading {
    std::optional<qint64> nanoArcseconds; // north and east positive
    QString error;                        // why the text was refused, quoting it
};

CoordinateReading readCoordinate(const QString& text, Axis axis);

// The normal form of a coordinate.
QString coordinateText(qint64 nanoArcseconds, Axis axis);

// The coordinate in degrees, for the geodesic.
double coordinateDegrees(qint64 nanoArcseconds);

// Names and race points compare as the database compares them: letter case
// of A to Z ignored, every other character as it is.
QString nocaseKey(const QString& name);

// A name with every blank of another kind (a non-breaking space pasted from a
// web page, a thin space) made an ordinary blank: "Ann Sample" so pasted
// looks like the member's name but is another to the calculator.
QString plainBlanks(QString name);

} // namespace pellamy
