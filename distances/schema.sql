-- The member distance database: one row per member and race point.
-- Every value is kept as text; names and race points compare without
-- regard to letter case.
CREATE TABLE Distances (
    Name TEXT COLLATE NOCASE,
    Racepoint TEXT COLLATE NOCASE,
    Miles TEXT,
    Yards TEXT,
    Sixtieths TEXT
);
-- Serves the race point list, a race point's members and the distance lookup.
CREATE INDEX DistancesByRacepoint ON Distances (Racepoint, Name);
-- Serves the distances editor's order.
CREATE INDEX DistancesByName ON Distances (Name, Racepoint);
-- The coordinates of lofts and race points (tables Lofts and Racepoints) are
-- made by Pellamy when coordinates are first saved.
