# The adjusted analyses of adjusted_analysis_test.cpp, by R survival and cmprsk:
#   Rscript adjusted_models.R > adjusted_models.out
# `mixed` is cox_model.R's data set; in `compete` status 2 is a death of a cause counted as
# censored. Rows: group, week, status (1 death), age, stage; an empty field is missing.
suppressPackageStartupMessages({library(survival); library(cmprsk)})
mixed <- read.csv(header = FALSE, col.names = c("group", "week", "status", "age", "stage"), na.strings = "", text = "
B,0,1,69,I
A,19,1,57,II
A,4,1,70,I
B,12,0,,I
A,22,1,51,I
A,1,1,50,I
B,3,1,49,III
A,7,1,66,III
B,0,1,73,III
B,3,1,69,III
B,4,1,51,II
C,0,1,54,I
C,3,1,51,II
A,5,1,60,III
A,0,1,70,III
C,3,1,56,II
C,22,0,42,I
B,7,1,,III
C,8,1,56,III
C,26,1,46,II
A,1,1,69,III
A,3,1,57,II
B,3,1,44,I
C,11,1,73,II
C,9,1,58,II
A,1,1,70,
A,2,1,59,III
A,11,1,59,I
C,8,0,37,III
B,14,1,50,III
B,3,1,56,III
A,10,1,63,I
B,1,1,56,III
B,0,1,57,III
C,10,1,50,II
A,28,1,70,I
B,18,1,56,I
B,1,1,60,III
A,6,0,72,I
C,10,0,56,II
C,2,1,67,I
C,9,1,50,III
C,12,1,63,I
C,1,1,78,I
B,8,1,56,II
C,33,0,30,III
C,0,1,85,II
A,4,1,58,II
B,12,1,45,I
C,12,0,45,I
B,24,1,63,II
C,1,1,44,II
B,2,1,40,III
A,11,1,74,I
C,6,1,71,II
A,5,1,75,III
A,12,1,65,I
B,18,0,45,I
A,25,0,60,I
B,2,1,68,III
")
compete <- read.csv(header = FALSE, col.names = c("group", "week", "status", "age", "stage"), na.strings = "", text = "
B,3,1,75,III
C,0,1,47,III
A,19,0,54,II
A,1,2,56,I
C,1,1,63,I
A,4,1,70,III
B,0,1,68,I
B,3,2,67,III
A,7,2,,II
B,8,0,64,I
C,0,1,55,III
A,13,1,69,I
A,5,0,61,II
A,10,1,62,II
B,8,0,64,III
A,5,0,,II
C,1,1,69,III
C,0,1,60,III
A,4,0,68,I
C,0,1,59,III
C,0,1,57,
C,1,1,59,I
B,11,1,60,III
A,13,1,41,III
B,2,1,61,I
C,5,1,63,II
B,19,0,53,I
A,4,1,55,II
B,5,1,55,II
A,6,0,62,II
A,7,1,56,I
C,23,1,38,II
A,7,1,60,II
B,0,1,75,II
C,5,0,66,II
B,0,1,65,I
B,13,2,39,II
B,7,2,56,III
B,11,0,48,II
C,0,1,58,III
B,1,2,61,I
A,3,0,78,I
A,14,0,21,III
C,2,1,70,I
C,26,0,40,I
A,8,0,60,III
C,29,0,53,I
A,19,1,71,I
B,17,0,53,III
A,1,1,62,III
C,11,1,59,I
C,7,1,78,I
A,9,1,43,II
C,4,1,57,II
A,5,0,66,I
C,3,0,59,I
B,4,1,71,III
A,10,1,70,III
A,0,1,78,III
B,8,0,36,II
A,8,0,66,II
A,3,1,57,I
C,13,1,52,III
B,11,1,55,I
A,0,2,61,I
A,8,0,58,I
A,29,0,,II
C,3,1,89,
B,10,1,62,II
C,4,0,84,I
B,7,1,81,II
B,5,1,58,II
B,9,1,79,II
B,4,0,65,I
B,2,1,62,I
A,1,1,79,II
C,6,1,67,I
C,22,0,70,II
B,4,1,65,II
A,14,1,48,
A,1,1,70,I
A,15,0,62,II
C,2,1,76,III
C,15,1,77,I
C,15,1,63,I
B,11,0,43,II
A,10,1,74,II
C,3,1,55,III
C,1,1,71,III
A,1,2,56,I
")
mixed$stage <- factor(mixed$stage, levels = unique(na.omit(mixed$stage)))
compete$stage <- factor(compete$stage, levels = unique(na.omit(compete$stage)))
# Cases followed beyond week `last` are censored at it.
window <- function(d, last) {
  d$status[d$week > last] <- 0
  d$week <- pmin(d$week, last)
  d
}
num <- function(x) paste(sprintf("%.12f", x), collapse = " ")

# Per factor: anova(reduced, full) on the complete cases, and Wald from vcov over its terms.
factors <- function(name, d, terms, strata = NULL) {
  d <- d[complete.cases(d[, c(terms, strata)]), ]
  rhs <- function(t) paste(c(t, if (!is.null(strata)) paste0("strata(", strata, ")")), collapse = " + ")
  full <- coxph(as.formula(paste("Surv(week, status) ~", rhs(terms))), data = d, ties = "efron")
  cat(name, "n", full$n, "\n")
  for (t in terms) {
    reduced <- coxph(as.formula(paste("Surv(week, status) ~", rhs(setdiff(terms, t)))), data = d, ties = "efron")
    a <- anova(reduced, full)
    cols <- which(attr(model.matrix(full), "assign") == match(t, attr(terms(full), "term.labels")))
    b <- coef(full)[cols]
    wald <- drop(t(b) %*% solve(vcov(full)[cols, cols, drop = FALSE], b))
    cat(sprintf("  %s lr %.12f df %d p %.12g wald %.12f df %d p %.12g\n", t, a$Chisq[2], a$Df[2],
                a[["Pr(>|Chi|)"]][2], wald, length(cols), pchisq(wald, length(cols), lower.tail = FALSE)))
  }
}
factors("mixed: group + age + stage", mixed, c("group", "age", "stage"))
factors("mixed: group + age + strata(stage)", mixed, c("group", "age"), "stage")

# The stratified log-rank test: only a missing stratum drops a case.
logrank <- function(name, d) {
  s <- survdiff(Surv(week, status) ~ group + strata(stage), data = d)
  df <- sum(rowSums(s$exp) > 0) - 1
  cat(sprintf("%s chisq %.12f df %d p %.12g\n", name, s$chisq, df, pchisq(s$chisq, df, lower.tail = FALSE)))
}
logrank("survdiff mixed strata(stage)", mixed)
logrank("survdiff mixed window 9 strata(stage)", window(mixed, 9))

# Subgroups of stage: the group model within each level, and the interaction test on the
# cases with a stage.
subgroups <- function(name, d) {
  d <- d[!is.na(d$stage), ]
  for (l in levels(d$stage)) {
    f <- coxph(Surv(week, status) ~ group, data = d[d$stage == l, ], ties = "efron")
    cat(sprintf("%s level %s n %d events %d coef %s se %s\n", name, l, f$n, f$nevent, num(coef(f)),
                num(sqrt(diag(vcov(f))))))
  }
  main <- coxph(Surv(week, status) ~ group + stage, data = d, ties = "efron")
  inter <- coxph(Surv(week, status) ~ group * stage, data = d, ties = "efron")
  a <- anova(main, inter)
  cat(sprintf("%s interaction lr %.12f df %d p %.12g\n", name, a$Chisq[2], a$Df[2], a[["Pr(>|Chi|)"]][2]))
}
subgroups("mixed subgroups stage", mixed)

# Fine-Gray with the covariate matrix. R's time is the week + 1 (crr reads its censoring
# estimate at time 0 after that time's censorings; see competing_risks.R).
finegray <- function(name, d) {
  d <- d[complete.cases(d), ]
  x <- model.matrix(~ group + age + stage, data = d)[, -1]
  f <- crr(d$week + 1, d$status, x, gtol = 1e-12, maxiter = 100)
  cat(sprintf("%s n %d converged %s\n  coef %s\n  se %s\n", name, f$n, f$converged, num(f$coef),
              num(sqrt(diag(f$var)))))
}
finegray("crr compete group + age + stage", compete)
finegray("crr compete window 10 group + age + stage", window(compete, 10))
# The same cases as a Cox model, the competing deaths censored.
cc <- compete[complete.cases(compete), ]
cat("coxph compete group + age + stage, competing censored\n")
f <- coxph(Surv(week, status == 1) ~ group + age + stage, data = cc, ties = "efron")
cat(sprintf("  coef %s\n  se %s\n", num(coef(f)), num(sqrt(diag(vcov(f))))))
