#pragma once
// The results grid of the video form, written from the tables: headings from the number of
// points per image, and per row the time and coordinate texts, each column in its point's colour.
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

class QComboBox;
class QTableWidget;

namespace kinepo {

// Columns "t(s)", then "x(m)" "y(m)" for one point, or "x1(m)" "y1(m)" ... for n points.
void ColonnesGrille(QTableWidget* grille, int nbrePoints);
// Table row i into grid row i: its time text and the display texts of points 1 to jusquAuPoint
// (as many as the grid has columns for). The grid grows when it is too short.
void EcrireLigneGrille(QTableWidget* grille, const VideoCalibration& calib,
                       const TablesPointage& tables, int i, int jusquAuPoint);
// The time text of every stored row again (the time origin or the period changed).
void ReecrireColonneTemps(QTableWidget* grille, const VideoCalibration& calib,
                          const TablesPointage& tables);
// Empties the cells of the rows from premiereVide on.
void ViderLignesApres(QTableWidget* grille, int premiereVide);

// The colour boxes of the form (axes, points): the sixteen named colours, each item's data the
// colour as the settings file holds it (0x00BBGGRR).
void RemplirCouleurs(QComboBox* boite);
// Selects the item of that colour, adding it when it is not one of the sixteen; no signal.
void ChoisirCouleur(QComboBox* boite, int valeur);

} // namespace kinepo
