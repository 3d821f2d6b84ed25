-- A federation's shared distances on PostgreSQL: the tables of the club's
-- own distances.mdb, the same values as text, for every club's Pellamy to
-- read and the federation's distance officer to edit.
--
-- Run once, as the database's owner, in a database made with UTF8 encoding:
--   psql -d distances -f schema-postgres.sql
--
-- Names and race points are ordered and matched as the club's own file
-- does it: A to Z are the same as a to z, and every other character,
-- accented letters included, is compared as it stands, byte by byte. The
-- *_key columns hold that form, kept by the server itself, and every query
-- orders and matches by them.
--
-- Every row has a key (id). The distances editor addresses a row by it and,
-- before it changes or deletes a row, locks the row (SELECT … FOR UPDATE)
-- and compares it with the values it showed: a row another club's editor
-- changed meanwhile is never written over.
CREATE TABLE IF NOT EXISTS distances (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    name text,
    racepoint text,
    miles text,
    yards text,
    sixtieths text,
    name_key text COLLATE "C" GENERATED ALWAYS AS (translate(name, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')) STORED,
    racepoint_key text COLLATE "C" GENERATED ALWAYS AS (translate(racepoint, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')) STORED
);
-- Serves the race point list, a race point's members and the distance lookup
-- (an empty name sorts first, as in the club's own file), and holds what they
-- read, so that they need not visit the table.
CREATE INDEX IF NOT EXISTS distances_by_racepoint ON distances (racepoint_key, name_key NULLS FIRST, id) INCLUDE (racepoint, name, sixtieths);
-- Serves the distances editor's order.
CREATE INDEX IF NOT EXISTS distances_by_name ON distances (name_key NULLS FIRST, racepoint_key NULLS FIRST, id);

-- The coordinates of lofts and race points, one row per name.
CREATE TABLE IF NOT EXISTS lofts (
    name text NOT NULL,
    latitude text NOT NULL,
    longitude text NOT NULL,
    name_key text COLLATE "C" GENERATED ALWAYS AS (translate(name, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')) STORED PRIMARY KEY
);
CREATE TABLE IF NOT EXISTS racepoints (
    racepoint text NOT NULL,
    latitude text NOT NULL,
    longitude text NOT NULL,
    racepoint_key text COLLATE "C" GENERATED ALWAYS AS (translate(racepoint, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')) STORED PRIMARY KEY
);

-- The two roles a federation grants. Each club signs in as a user of its
-- own in pellamy_club, which reads; the distance officer signs in as a user
-- in pellamy_officer, which also writes. (Roles belong to the whole server:
-- they are made once and kept.)
DO $$ BEGIN CREATE ROLE pellamy_club NOLOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$;
DO $$ BEGIN CREATE ROLE pellamy_officer NOLOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$;
-- Before PostgreSQL 15 every user could make functions in schema public,
-- where the officer's queries would find and run them: nobody but the
-- database's owner may.
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT SELECT ON distances, lofts, racepoints TO pellamy_club;
GRANT SELECT, INSERT, UPDATE, DELETE ON distances, lofts, racepoints TO pellamy_officer;
